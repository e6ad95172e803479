# Search next and Replace All: the Qt-free rules.
scrivlet_rules_library(scrivlet_search_rules
  search_rules.cpp
)
target_link_libraries(scrivlet_search_rules PUBLIC scrivlet_editor)

# The search and replace frame over the editor buffer.
scrivlet_widgets_library(scrivlet_search_ui
  search_panel.cpp
)
target_link_libraries(scrivlet_search_ui PUBLIC scrivlet_search_rules scrivlet_editor_ui scrivlet_common_ui)
