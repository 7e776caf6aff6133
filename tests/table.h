#pragma once
// A data-driven Qt test's table in one call: the columns' names, then rows, each named first, so that a failure
// says which row failed and every row is run, whichever fails.

#include <QTest>
#include <array>
#include <tuple>
#include <utility>

namespace vesk::test {

// The columns alone, for rows added one by one.
template <typename... Columns>
void columns(const std::array<const char*, sizeof...(Columns)>& names) {
  [&]<std::size_t... I>(std::index_sequence<I...>) {
    (QTest::addColumn<Columns>(names[I]), ...);
  }(std::index_sequence_for<Columns...>{});
}

template <typename... Columns>
void table(const std::array<const char*, sizeof...(Columns)>& names,
           std::initializer_list<std::tuple<const char*, Columns...>> rows) {
  columns<Columns...>(names);
  for (const auto& row : rows)
    std::apply([](const char* name, const Columns&... values) {
      QTestData& data = QTest::newRow(name);
      ((data << values), ...);
    }, row);
}

// The row being run, its values by their columns' names: what a QFETCH a column would give, in one line.
template <typename... Columns>
std::tuple<Columns...> row(const std::array<const char*, sizeof...(Columns)>& names) {
  return [&]<std::size_t... I>(std::index_sequence<I...>) {
    return std::tuple<Columns...>{*static_cast<Columns*>(QTest::qData(names[I], qMetaTypeId<Columns>()))...};
  }(std::index_sequence_for<Columns...>{});
}

}  // namespace vesk::test
