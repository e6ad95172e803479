# Replace All against sed on the same bytes.
scrivlet_bench(search_replace_bench
  SOURCES search_replace_bench.cpp
  LIBS scrivlet_search_rules)
