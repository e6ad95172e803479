# Search next and Replace All: the Qt-free rules.
scrivlet_rules_library(scrivlet_search_rules
  search_rules.cpp
)
