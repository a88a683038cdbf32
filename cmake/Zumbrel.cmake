# Helpers that keep the two layers apart: a core library links no Qt, so a
# wrong include fails the build; a gui library may use the core.

function(zumbrel_core_library name)
  add_library(${name} STATIC ${ARGN})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  set_target_properties(${name} PROPERTIES AUTOMOC OFF AUTOUIC OFF AUTORCC OFF)
  set_property(GLOBAL APPEND PROPERTY ZUMBREL_CORE_LIBS ${name})
endfunction()

function(zumbrel_gui_library name)
  add_library(${name} STATIC ${ARGN})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  set_target_properties(${name} PROPERTIES AUTOMOC ON AUTORCC ON)
  target_link_libraries(${name} PUBLIC zumbrel_core Qt6::Widgets)
  set_property(GLOBAL APPEND PROPERTY ZUMBREL_GUI_LIBS ${name})
endfunction()

# Called once after every folder: the libraries of a layer may call each other
# in any order, so each layer links as one group.
function(zumbrel_finish_layers)
  get_property(core GLOBAL PROPERTY ZUMBREL_CORE_LIBS)
  if(core)
    string(REPLACE ";" "," core_list "${core}")
    target_link_libraries(zumbrel_core INTERFACE "$<LINK_GROUP:RESCAN,${core_list}>")
  endif()
  if(TARGET zumbrel_gui)
    get_property(gui GLOBAL PROPERTY ZUMBREL_GUI_LIBS)
    if(gui)
      string(REPLACE ";" "," gui_list "${gui}")
      target_link_libraries(zumbrel_gui INTERFACE "$<LINK_GROUP:RESCAN,${gui_list}>")
    endif()
  endif()
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
