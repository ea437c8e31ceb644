// Run-time class information: every framework class names itself, its parent
// and its published properties and handlers, so that component streams can
// be read and written by name.
//
// A class declares TOOLKIT_CLASS(Name, Parent) in its body and defines
// Name::StaticClass() in its source file with a ClassBuilder:
//
//   const TClassInfo& TFont::StaticClass() {
//     static const TClassInfo info = ClassBuilder<TFont>("TFont", &TPersistent::StaticClass())
//         .Color("Color", &TFont::GetColor, &TFont::SetColor, clWindowText)
//         .Int("Height", &TFont::GetHeight, &TFont::SetHeight, -11)
//         .Build();
//     return info;
//   }
//
// Classes whose components appear in streams are also registered by name
// with RegisterClass so that a reader can create them.
#pragma once

#include <any>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <type_traits>
#include <typeindex>
#include <vector>

namespace toolkit {

class TObject;
class TPersistent;
class TComponent;
struct TClassInfo;

enum class TTypeKind {
  Integer,      // signed, written as the smallest integer value type that holds it
  Boolean,      // written as the true/false value types
  Enumeration,  // written by identifier
  Set,          // written as a list of identifiers
  Color,        // an integer, written by identifier where one names it (clBtnFace)
  String,
  Class,   // a component reference (written by name) or a nested persistent object
  Method,  // an event, written as the name of a handler of the root
};

// The identifiers of an enumeration, in ordinal order; also the element type
// of a set (bit n of the set is identifier n).
struct TEnumInfo {
  std::vector<std::string> Names;
};

// Name conversions of an integer type: colours, cursors, device ids.
struct TIdentMap {
  std::function<bool(const std::string& ident, std::int64_t& value)> IdentToInt;
  std::function<bool(std::int64_t value, std::string& ident)> IntToIdent;
};

// An event handler as streams see it: the object that holds the method and
// its published name.
struct TMethodRef {
  TObject* Data = nullptr;
  std::string Name;
  explicit operator bool() const { return Data != nullptr; }
};

struct TPropInfo {
  std::string Name;
  TTypeKind Kind = TTypeKind::Integer;
  const TEnumInfo* Enum = nullptr;           // Enumeration, Set
  const TIdentMap* Idents = nullptr;         // Color and other integers with names
  const TClassInfo* ObjClass = nullptr;      // Class: the declared class
  std::optional<std::int64_t> Default;       // ordinal kinds: not written when equal
  std::type_index EventType = typeid(void);  // Method: the handler's signature

  std::function<std::int64_t(const TObject&)> GetOrd;
  std::function<void(TObject&, std::int64_t)> SetOrd;
  std::function<std::string(const TObject&)> GetStr;
  std::function<void(TObject&, const std::string&)> SetStr;
  std::function<TObject*(const TObject&)> GetObj;
  std::function<void(TObject&, TObject*)> SetObj;  // null for a nested persistent
  std::function<TMethodRef(const TObject&)> GetMethod;
  // `handler` holds a std::function of the event's signature bound to
  // `ref.Data`; false when its signature is not the event's.
  std::function<bool(TObject&, const std::any& handler, const TMethodRef& ref)> SetMethod;
  // Whether the value is written at all (besides the default rule).
  std::function<bool(const TObject&)> Stored;

  // What ClassBuilder records instead of ObjClass: the class is looked up
  // on first use, so that classes may refer to each other (a tab sheet to
  // its page control and back, a widget to its own class).
  const TClassInfo& (*ObjClassOf)() = nullptr;

  // ObjClass, else ObjClassOf's class.
  const TClassInfo* ObjectClass() const;
  // Class properties: a component reference, else a nested persistent.
  bool IsComponentRef() const;
};

// A published handler of a class (a form's `Button1Click`).
struct TMethodInfo {
  std::string Name;
  std::type_index EventType = typeid(void);
  // A std::function of the handler's signature that calls it on `root`.
  std::function<std::any(TObject& root)> Bind;
};

struct TClassInfo {
  std::string Name;
  const TClassInfo* Parent = nullptr;
  // Creates an instance owned by `owner`; null for classes that are not
  // components or cannot be created from a stream.
  std::function<TComponent*(TComponent* owner)> Create;
  std::vector<TPropInfo> Props;      // this class's own, in declaration order
  std::vector<TMethodInfo> Methods;  // this class's own published handlers

  bool InheritsFrom(const TClassInfo& other) const;
  // Own and inherited properties, the oldest ancestor's first; a property
  // a descendant declares again keeps its ancestor's place.
  std::vector<const TPropInfo*> AllProps() const;
  // By name, case-insensitive, the most derived declaration first.
  const TPropInfo* FindProp(const std::string& name) const;
  const TMethodInfo* FindMethod(const std::string& name) const;
};

// The classes a reader can create, by name (case-insensitive). Registering a
// name twice keeps the first. `info` must live for the program's run (a
// StaticClass()).
void RegisterClass(const TClassInfo& info);
const TClassInfo* FindClass(const std::string& name);

// Identifier conversions for TTypeKind::Color and friends, by the property's
// type name ("TColor", "TCursor", "TMMDeviceId").
void RegisterIntegerConsts(const std::string& typeName, const TIdentMap& map);
const TIdentMap* FindIntegerConsts(const std::string& typeName);

}  // namespace toolkit

// Inside a class body: the class's run-time information. Parent must be a
// base of Name, as its StaticClass says.
#define TOOLKIT_CLASS(Name, Parent)                         \
 public:                                                    \
  static const ::toolkit::TClassInfo& StaticClass();        \
  const ::toolkit::TClassInfo& ClassType() const override { \
    static_assert(std::is_base_of_v<Parent, Name>);         \
    return StaticClass();                                   \
  }
