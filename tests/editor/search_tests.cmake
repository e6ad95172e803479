# Tests of search next and Replace All.
scrivlet_gtest(search_rules_test
  SOURCES search_rules_test.cpp search_differential_test.cpp
  LIBS scrivlet_search_rules scrivlet_calculator)

scrivlet_qtest(search_panel_test
  SOURCES search_panel_test.cpp
  LIBS scrivlet_search_ui)
