# Common settings for every target of the project.

function(scrivlet_settings target)
  target_compile_features(${target} PUBLIC cxx_std_20)
  if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
    target_compile_options(${target} PRIVATE
      -Wall -Wextra -Wpedantic -Wsuggest-override -Woverloaded-virtual
      -Wnon-virtual-dtor -Wcast-qual -Wshadow=local)
    if(CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
      target_compile_options(${target} PRIVATE -Wno-unknown-warning-option -Wno-shadow)
    endif()
    if(SCRIVLET_WERROR)
      target_compile_options(${target} PRIVATE -Werror)
    endif()
  endif()
  if(SCRIVLET_SANITIZE)
    target_compile_options(${target} PRIVATE -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
    target_link_options(${target} PRIVATE -fsanitize=address,undefined)
  endif()
endfunction()

# A library of Qt-free rules.
function(scrivlet_rules_library target)
  add_library(${target} STATIC ${ARGN})
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
  scrivlet_settings(${target})
endfunction()

# A library of widgets.
function(scrivlet_widgets_library target)
  add_library(${target} STATIC ${ARGN})
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
  set_target_properties(${target} PROPERTIES AUTOMOC ON AUTORCC ON)
  target_link_libraries(${target} PUBLIC Qt6::Widgets)
  scrivlet_settings(${target})
endfunction()
