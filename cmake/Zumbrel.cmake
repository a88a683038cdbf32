# Helpers that keep the two layers apart: a core library links no Qt, so a
# wrong include fails the build; a gui library may use the core.

function(zumbrel_core_library name)
  add_library(${name} STATIC ${ARGN})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(zumbrel_core INTERFACE ${name})
endfunction()

function(zumbrel_gui_library name)
  add_library(${name} STATIC ${ARGN})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  set_target_properties(${name} PROPERTIES AUTOMOC ON AUTORCC ON)
  target_link_libraries(${name} PUBLIC zumbrel_core Qt6::Widgets)
  target_link_libraries(zumbrel_gui INTERFACE ${name})
endfunction()

# The sources of `names` (without extension) that exist in the current folder.
# Lets a folder's list name files that other engineers are still writing.
function(zumbrel_existing out)
  set(found)
  foreach(n ${ARGN})
    if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${n})
      list(APPEND found ${n})
    endif()
  endforeach()
  set(${out} ${found} PARENT_SCOPE)
endfunction()
