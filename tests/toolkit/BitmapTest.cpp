// The bitmap object: shared images, handle types and formats, BMP streams.
#include <gtest/gtest.h>

#include "gdi/Gdi.h"
#include "toolkit/Bitmap.h"

namespace toolkit {
namespace {

void Fill(TBitmap& bitmap, TColor color) {
  bitmap.Canvas()->Brush()->SetColor(color);
  bitmap.Canvas()->FillRect({0, 0, bitmap.Width(), bitmap.Height()});
}

TEST(Bitmaps, CopiesShareUntilEitherChanges) {
  TBitmap a, b;
  a.SetSize(3, 3);
  Fill(a, clRed);
  b.Assign(&a);
  EXPECT_EQ(b.Canvas()->Pixel(1, 1), clRed);
  Fill(b, clBlue);
  EXPECT_EQ(a.Canvas()->Pixel(1, 1), clRed);
  EXPECT_EQ(b.Canvas()->Pixel(1, 1), clBlue);
  Fill(a, clLime);  // the first one's canvas was open before the copy
  EXPECT_EQ(b.Canvas()->Pixel(1, 1), clBlue);
  b.Assign(nullptr);
  EXPECT_TRUE(b.Empty());
  EXPECT_EQ(a.Canvas()->Pixel(0, 0), clLime);
}

TEST(Bitmaps, ChangeEventOnDrawingAndResizing) {
  TBitmap bitmap;
  int changes = 0;
  bitmap.OnChange = TNotifyEvent([&](TObject*) { ++changes; });
  bitmap.SetSize(4, 4);
  EXPECT_EQ(changes, 1);
  bitmap.SetSize(4, 4);
  EXPECT_EQ(changes, 1);
  Fill(bitmap, clRed);
  EXPECT_EQ(changes, 2);
  bitmap.SetWidth(6);  // the old picture stays at the top-left
  EXPECT_EQ(changes, 3);
  EXPECT_EQ(bitmap.Canvas()->Pixel(3, 3), clRed);
  EXPECT_EQ(bitmap.Width(), 6);
}

TEST(Bitmaps, HandleTypeAndPixelFormatKeepThePicture) {
  TBitmap bitmap;
  bitmap.SetSize(5, 2);
  EXPECT_EQ(bitmap.HandleType(), bmDDB);
  EXPECT_EQ(bitmap.PixelFormat(), pfDevice);
  Fill(bitmap, static_cast<TColor>(0x336699));
  bitmap.Canvas()->SetPixel(4, 1, clWhite);
  bitmap.SetHandleType(bmDIB);
  EXPECT_EQ(bitmap.HandleType(), bmDIB);
  EXPECT_EQ(bitmap.PixelFormat(), pf32bit);
  EXPECT_EQ(bitmap.Canvas()->Pixel(0, 0), 0x336699);
  EXPECT_EQ(bitmap.Canvas()->Pixel(4, 1), clWhite);
  bitmap.SetPixelFormat(pf24bit);
  EXPECT_EQ(bitmap.PixelFormat(), pf24bit);
  EXPECT_EQ(bitmap.Canvas()->Pixel(0, 0), 0x336699);
  bitmap.SetPixelFormat(pf8bit);  // nearest colour of the 8-bit table
  EXPECT_EQ(bitmap.Canvas()->Pixel(4, 1), clWhite);
  EXPECT_EQ(bitmap.Canvas()->Pixel(0, 0), 0x336699);  // on the colour cube
  bitmap.SetHandleType(bmDDB);
  EXPECT_EQ(bitmap.PixelFormat(), pfDevice);
  EXPECT_EQ(bitmap.Canvas()->Pixel(4, 1), clWhite);
}

TEST(Bitmaps, MonochromeConversionKeepsWhite) {
  TBitmap bitmap;
  bitmap.SetSize(2, 1);
  bitmap.Canvas()->SetPixel(0, 0, clWhite);
  bitmap.Canvas()->SetPixel(1, 0, static_cast<TColor>(0x808080));
  bitmap.SetMonochrome(true);
  EXPECT_TRUE(bitmap.Monochrome());
  EXPECT_EQ(bitmap.PixelFormat(), pf1bit);
  EXPECT_EQ(bitmap.Canvas()->Pixel(0, 0), clWhite);
  EXPECT_EQ(bitmap.Canvas()->Pixel(1, 0), clBlack);
}

TEST(Bitmaps, StreamRoundTripOfAThirtyTwoBitFace) {
  TBitmap bitmap;
  bitmap.SetSize(87, 65);
  Fill(bitmap, static_cast<TColor>(0x102030));
  bitmap.Canvas()->SetPixel(0, 64, clRed);
  TMemoryStream stream;
  bitmap.SaveToStream(stream);
  EXPECT_EQ(stream.Size(), 22674);
  // Two images one after the other: each load stops at the end of its own.
  bitmap.SaveToStream(stream);
  stream.SetPosition(0);
  TBitmap first, second;
  first.LoadFromStream(stream);
  EXPECT_EQ(stream.Position(), 22674);
  second.LoadFromStream(stream);
  EXPECT_EQ(stream.Position(), 2 * 22674);
  EXPECT_EQ(second.Width(), 87);
  EXPECT_EQ(second.Height(), 65);
  EXPECT_EQ(second.HandleType(), bmDIB);
  EXPECT_EQ(second.Canvas()->Pixel(0, 64), clRed);
  EXPECT_EQ(second.Canvas()->Pixel(5, 5), 0x102030);
  TMemoryStream again;
  second.SaveToStream(again);
  stream.SetPosition(0);
  EXPECT_EQ(std::vector<std::uint8_t>(stream.Bytes().begin(), stream.Bytes().begin() + 22674), again.Bytes());
}

TEST(Bitmaps, BadImageRaisesAndKeepsThePicture) {
  TBitmap bitmap;
  bitmap.SetSize(2, 2);
  Fill(bitmap, clRed);
  TMemoryStream bad;
  const char junk[] = "BMxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx";
  bad.WriteBuffer(junk, sizeof junk);
  bad.SetPosition(0);
  EXPECT_THROW(bitmap.LoadFromStream(bad), EInvalidGraphic);
  EXPECT_EQ(bitmap.Width(), 2);
  EXPECT_EQ(bitmap.Canvas()->Pixel(1, 1), clRed);
  EXPECT_EQ(bad.Position(), 0);
}

TEST(Bitmaps, NothingLeftBehindInTheGraphicsLayer) {
  const std::size_t start = gdi::GdiLiveObjectCount();
  {
    TBitmap a, b;
    a.SetSize(10, 10);
    Fill(a, clRed);
    a.Canvas()->TextOut(0, 0, "Hi");
    b.Assign(&a);
    Fill(b, clBlue);
    b.SetPixelFormat(pf8bit);
    b.SetMonochrome(true);
    a.SetHandleType(bmDIB);
    TPicture picture;
    picture.SetGraphic(&a);
    picture.Bitmap()->Canvas()->Pixel(0, 0);
  }
  EXPECT_EQ(gdi::GdiLiveObjectCount(), start);
}

TEST(Pictures, DrawUnscaledAndStretched) {
  TBitmap source, target;
  source.SetSize(2, 2);
  Fill(source, clRed);
  target.SetSize(6, 6);
  Fill(target, clBlack);
  target.Canvas()->Draw(1, 1, &source);
  EXPECT_EQ(target.Canvas()->Pixel(1, 1), clRed);
  EXPECT_EQ(target.Canvas()->Pixel(2, 2), clRed);
  EXPECT_EQ(target.Canvas()->Pixel(3, 3), clBlack);
  target.Canvas()->StretchDraw({0, 0, 6, 6}, &source);
  EXPECT_EQ(target.Canvas()->Pixel(5, 5), clRed);
}

}  // namespace
}  // namespace toolkit
