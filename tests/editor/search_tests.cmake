# Tests of search next and Replace All.
scrivlet_gtest(search_rules_test
  SOURCES search_rules_test.cpp search_differential_test.cpp
  LIBS scrivlet_search_rules)
