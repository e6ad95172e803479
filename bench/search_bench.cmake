# Replace All against sed on the same bytes.
scrivlet_bench(search_replace_bench
  SOURCES search_replace_bench.cpp
  LIBS scrivlet_search_rules)

# Replace All and search next through the search frame on a text in the editor.
scrivlet_bench(search_panel_bench WIDGETS
  SOURCES search_panel_bench.cpp
  LIBS scrivlet_search_ui)
