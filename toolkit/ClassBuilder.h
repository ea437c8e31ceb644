// Builds a class's run-time information from its getters and setters (see
// TypInfo.h for the pattern).
#pragma once

#include <any>
#include <deque>
#include <string>
#include <type_traits>
#include <utility>

#include "toolkit/Classes.h"

namespace toolkit {

template <typename T>
class ClassBuilder {
 public:
  ClassBuilder(std::string name, const TClassInfo* parent) {
    info_.Name = std::move(name);
    info_.Parent = parent;
  }

  // Instances can be created by a stream reader.
  ClassBuilder& Creatable() {
    info_.Create = [](TComponent* owner) -> TComponent* { return new T(owner); };
    return *this;
  }

  // Getters and setters may be members of T or of any base of T.
  template <typename G, typename S>
  ClassBuilder& Int(std::string name, G get, S set, std::optional<std::int64_t> def = std::nullopt) {
    return Ordinal(std::move(name), TTypeKind::Integer, get, set, def);
  }
  template <typename G, typename S>
  ClassBuilder& Bool(std::string name, G get, S set, std::optional<bool> def = std::nullopt) {
    return Ordinal(std::move(name), TTypeKind::Boolean, get, set,
                   def ? std::optional<std::int64_t>(*def) : std::nullopt);
  }
  template <typename G, typename S>
  ClassBuilder& Enum(std::string name, const TEnumInfo& names, G get, S set,
                     std::optional<std::int64_t> def = std::nullopt) {
    return Listed(std::move(name), TTypeKind::Enumeration, names, get, set, def);
  }
  // A set of enumeration members, held as bits (bit n = member n).
  template <typename G, typename S>
  ClassBuilder& Set(std::string name, const TEnumInfo& members, G get, S set,
                    std::optional<std::int64_t> def = std::nullopt) {
    return Listed(std::move(name), TTypeKind::Set, members, get, set, def);
  }
  // An integer written by identifier where the conversions registered for
  // `typeName` ("TColor", "TCursor") name its value.
  template <typename G, typename S>
  ClassBuilder& Named(std::string name, const std::string& typeName, G get, S set,
                      std::optional<std::int64_t> def = std::nullopt) {
    Ordinal(std::move(name), TTypeKind::Color, get, set, def);
    info_.Props.back().Idents = &ForwardingIdents(typeName);
    return *this;
  }
  template <typename G, typename S>
  ClassBuilder& Color(std::string name, G get, S set, std::optional<std::int64_t> def = std::nullopt) {
    return Named(std::move(name), "TColor", get, set, def);
  }
  template <typename G, typename S>
  ClassBuilder& Str(std::string name, G get, S set) {
    TPropInfo p;
    p.Name = std::move(name);
    p.Kind = TTypeKind::String;
    p.GetStr = [get](const TObject& o) { return std::string((static_cast<const T&>(o).*get)()); };
    p.SetStr = [set](TObject& o, const std::string& v) { (static_cast<T&>(o).*set)(v); };
    return Add(std::move(p));
  }
  // A reference to another component, written by name.
  template <typename G, typename S>
  ClassBuilder& Ref(std::string name, G get, S set) {
    using C = std::remove_pointer_t<decltype((std::declval<const T&>().*get)())>;
    Nested(std::move(name), get);
    info_.Props.back().SetObj = [set](TObject& o, TObject* v) {
      (static_cast<T&>(o).*set)(dynamic_cast<C*>(v));
    };
    return *this;
  }
  // A persistent object owned by this one, written as its own properties
  // ("Font.Color").
  template <typename G>
  ClassBuilder& Nested(std::string name, G get) {
    using C = std::remove_pointer_t<decltype((std::declval<const T&>().*get)())>;
    TPropInfo p;
    p.Name = std::move(name);
    p.Kind = TTypeKind::Class;
    p.ObjClassOf = &C::StaticClass;
    p.GetObj = [get](const TObject& o) -> TObject* { return (static_cast<const T&>(o).*get)(); };
    return Add(std::move(p));
  }
  // An event field (TEvent<...>) of T or a base.
  template <typename F>
  ClassBuilder& Event(std::string name, F field) {
    using E = std::remove_cvref_t<decltype(std::declval<T&>().*field)>;
    TPropInfo p;
    p.Name = std::move(name);
    p.Kind = TTypeKind::Method;
    p.EventType = typeid(typename E::Function);
    p.GetMethod = [field](const TObject& o) {
      const E& e = static_cast<const T&>(o).*field;
      return e ? TMethodRef{e.Data, e.Name} : TMethodRef{};
    };
    p.SetMethod = [field](TObject& o, const std::any& handler, const TMethodRef& ref) {
      const auto* fn = std::any_cast<typename E::Function>(&handler);
      if (!fn) return false;
      static_cast<T&>(o).*field = E(*fn, ref.Data, ref.Name);
      return true;
    };
    return Add(std::move(p));
  }
  // A published handler of this class, for event properties to bind to.
  template <typename... A>
  ClassBuilder& Handler(std::string name, void (T::*method)(A...)) {
    TMethodInfo m;
    m.Name = std::move(name);
    m.EventType = typeid(std::function<void(A...)>);
    m.Bind = [method](TObject& root) -> std::any {
      T* self = &static_cast<T&>(root);
      return std::function<void(A...)>([self, method](A... args) { (self->*method)(args...); });
    };
    info_.Methods.push_back(std::move(m));
    return *this;
  }
  // The last property is written only when `stored` says so.
  template <typename P>
  ClassBuilder& StoredWhen(P stored) {
    info_.Props.back().Stored = [stored](const TObject& o) { return (static_cast<const T&>(o).*stored)(); };
    return *this;
  }

  TClassInfo Build() { return std::move(info_); }

 private:
  template <typename G, typename S>
  ClassBuilder& Ordinal(std::string name, TTypeKind kind, G get, S set, std::optional<std::int64_t> def) {
    TPropInfo p;
    p.Name = std::move(name);
    p.Kind = kind;
    p.Default = def;
    p.GetOrd = [get](const TObject& o) {
      return static_cast<std::int64_t>((static_cast<const T&>(o).*get)());
    };
    p.SetOrd = [set](TObject& o, std::int64_t v) {
      using Arg = std::decay_t<typename SetterArg<S>::type>;
      (static_cast<T&>(o).*set)(static_cast<Arg>(v));
    };
    return Add(std::move(p));
  }
  template <typename G, typename S>
  ClassBuilder& Listed(std::string name, TTypeKind kind, const TEnumInfo& names, G get, S set,
                       std::optional<std::int64_t> def) {
    Ordinal(std::move(name), kind, get, set, def);
    info_.Props.back().Enum = &names;
    return *this;
  }
  template <typename S>
  struct SetterArg;
  template <typename C, typename A>
  struct SetterArg<void (C::*)(A)> {
    using type = A;
  };
  // Looks the conversions up when used, so that classes may be described
  // before the conversions are registered.
  static const TIdentMap& ForwardingIdents(const std::string& typeName) {
    static std::deque<TIdentMap> maps;
    TIdentMap map;
    map.IdentToInt = [typeName](const std::string& ident, std::int64_t& value) {
      const TIdentMap* real = FindIntegerConsts(typeName);
      return real && real->IdentToInt(ident, value);
    };
    map.IntToIdent = [typeName](std::int64_t value, std::string& ident) {
      const TIdentMap* real = FindIntegerConsts(typeName);
      return real && real->IntToIdent(value, ident);
    };
    return maps.emplace_back(std::move(map));
  }
  ClassBuilder& Add(TPropInfo p) {
    info_.Props.push_back(std::move(p));
    return *this;
  }

  TClassInfo info_;
};

}  // namespace toolkit
