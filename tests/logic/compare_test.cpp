// The three-way ordering of terms by which the report recognises equal answer bindings.
#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>
#include <string>

#include "logic/term.h"

namespace velmoran::testing {
namespace {

using Make = std::function<TId*()>;

Make Int(std::int32_t v) {
  return [v] { return new TInteger(v); };
}
Make Real(long double v) {
  return [v] { return new TReal(v); };
}
Make Const(const char* name) {
  return [name] { return new TFunctorA(name); };
}
Make Fn(const char* name, std::initializer_list<Make> args) {
  std::vector<Make> a(args);
  return [name, a] {
    auto* f = new TFunctor(name);
    for (const auto& m : a) f->Args.push_back(m());
    return f;
  };
}
Make Read(const char* name) {  // a variable as read, before binding
  return [name] { return new TVar(name); };
}
Make Unbound(const char* name) {
  return [name] { return new TVariable(std::string(name)); };
}
Make Bound(const char* name, Make binding) {
  return [name, binding] {
    auto* v = new TVariable(std::string(name));
    v->Binding = binding();
    return v;
  };
}

void Free(TId* t) {
  if (TVariable* v = AsVariable(t))
    delete v;  // owns its binding
  else
    t->FreeTerm();
}

struct Case {
  const char* what;
  Make a;
  Make b;
  int sign;
};

void ExpectOrder(std::initializer_list<Case> cases) {
  for (const auto& c : cases) {
    TId* a = c.a();
    TId* b = c.b();
    int r = a->Compare(b);
    EXPECT_EQ((r > 0) - (r < 0), c.sign) << c.what;
    Free(a);
    Free(b);
  }
}

TEST(Compare, NumbersByValueAndBeforeEverythingElse) {
  ExpectOrder({
      {"2 = 2.0", Int(2), Real(2.0), 0},
      {"2.0 = 2", Real(2.0), Int(2), 0},
      {"1 < 1.5", Int(1), Real(1.5), -1},
      {"2.5 > 2", Real(2.5), Int(2), 1},
      {"-1 < 0", Int(-1), Int(0), -1},
      {"1e10 > 5", Real(1e10), Int(5), 1},
      {"2 against Y bound to 2.0", Int(2), Bound("Y", Real(2.0)), 0},
      {"2 against Y bound to 3", Int(2), Bound("Y", Int(3)), -1},
      {"2 against Y bound to a", Int(2), Bound("Y", Const("a")), -1},
      {"2 before a constant", Int(2), Const("a"), -1},
      {"2 before a function term", Real(2), Fn("f", {Const("a")}), -1},
      {"2 before a variable as read", Int(2), Read("X"), -1},
      {"2 before an unbound variable", Int(2), Unbound("X"), -1},
  });
}

TEST(Compare, FunctionTermsByNameArityThenArguments) {
  ExpectOrder({
      {"f(z) < g(a): name first", Fn("f", {Const("z")}), Fn("g", {Const("a")}), -1},
      {"names ignore case", Fn("f", {Const("a")}), Fn("F", {Const("A")}), 0},
      {"f(z) < f(a, a): fewer arguments first", Fn("f", {Const("z")}),
       Fn("f", {Const("a"), Const("a")}), -1},
      {"f(a, a) > f(z)", Fn("f", {Const("a"), Const("a")}), Fn("f", {Const("z")}), 1},
      {"f(a, b) < f(a, c)", Fn("f", {Const("a"), Const("b")}), Fn("f", {Const("a"), Const("c")}),
       -1},
      {"f(a, c) > f(a, b)", Fn("f", {Const("a"), Const("c")}), Fn("f", {Const("a"), Const("b")}),
       1},
      {"f(g(a)) < f(g(b))", Fn("f", {Fn("g", {Const("a")})}), Fn("f", {Fn("g", {Const("b")})}), -1},
      {"f(2) < f(a)", Fn("f", {Int(2)}), Fn("f", {Const("a")}), -1},
      {"f(2) = f(2.0)", Fn("f", {Int(2)}), Fn("f", {Real(2.0)}), 0},
      {"a(b) after the constant z", Fn("a", {Const("b")}), Const("z"), 1},
      {"z before a(b)", Const("z"), Fn("a", {Const("b")}), -1},
      {"a < B ignoring case", Const("a"), Const("B"), -1},
      {"B > a ignoring case", Const("B"), Const("a"), 1},
      {"abc = ABC", Const("abc"), Const("ABC"), 0},
      {"ab < abc", Const("ab"), Const("abc"), -1},
      {"a against Y bound to a", Const("a"), Bound("Y", Const("a")), 0},
      {"a against Y bound to b", Const("a"), Bound("Y", Const("b")), -1},
      {"f(a) against Y bound to f(a)", Fn("f", {Const("a")}), Bound("Y", Fn("f", {Const("a")})), 0},
      {"a after an unbound variable", Const("a"), Unbound("Y"), 1},
      {"f(a) after an unbound variable", Fn("f", {Const("a")}), Unbound("Y"), 1},
      {"a after a number", Const("a"), Int(7), 1},
      {"f(a) after a number", Fn("f", {Const("a")}), Real(0.5), 1},
      {"a after a variable as read", Const("a"), Read("X"), 1},
  });
}

TEST(Compare, VariablesAsRead) {
  ExpectOrder({
      {"X = X", Read("X"), Read("X"), 0},
      {"Y > x ignoring case", Read("Y"), Read("x"), 1},
      {"X against Y bound to X as read", Read("X"), Bound("Y", Read("X")), 0},
      {"X against Y bound to a", Read("X"), Bound("Y", Const("a")), -1},
      {"X after an unbound variable", Read("X"), Unbound("A"), 1},
      {"X before a constant", Read("X"), Const("a"), -1},
      {"X before a function term", Read("X"), Fn("f", {Const("a")}), -1},
      {"X after a number", Read("X"), Int(1), 1},
  });
}

TEST(Compare, DeclaredVariables) {
  ExpectOrder({
      // A bound variable compares as its binding.
      {"X bound to a against a", Bound("X", Const("a")), Const("a"), 0},
      {"X bound to a against b", Bound("X", Const("a")), Const("b"), -1},
      {"X bound to 3 against 2", Bound("X", Int(3)), Int(2), 1},
      {"X bound to a against Y bound to a", Bound("X", Const("a")), Bound("Y", Const("a")), 0},
      {"X bound to 2 against Y bound to 2.0", Bound("X", Int(2)), Bound("Y", Real(2.0)), 0},
      // An unbound variable against a bound one looks only at the kind of the binding.
      {"X against Y bound to Z as read", Unbound("X"), Bound("Y", Read("Z")), -1},
      {"Z against Y bound to x as read", Unbound("Z"), Bound("Y", Read("x")), 1},
      {"X against Y bound to a number", Unbound("X"), Bound("Y", Int(1)), 1},
      {"X against Y bound to a constant", Unbound("X"), Bound("Y", Const("a")), -1},
      {"X against Y bound to f(a)", Unbound("X"), Bound("Y", Fn("f", {Const("a")})), -1},
      {"X < Y", Unbound("X"), Unbound("Y"), -1},
      {"Y > X", Unbound("Y"), Unbound("X"), 1},
      {"Xa = XA ignoring case", Unbound("Xa"), Unbound("XA"), 0},
      {"X after a number", Unbound("X"), Real(2.5), 1},
      {"X before a constant", Unbound("X"), Const("a"), -1},
      {"X before a function term", Unbound("X"), Fn("f", {Const("a")}), -1},
      {"X before a variable as read", Unbound("X"), Read("A"), -1},
  });
}

}  // namespace
}  // namespace velmoran::testing
