# How the libraries of the two layers are declared.
#
# Sources include headers by their path from the source root
# ("engine/CalcExpress.h"). A target does not see the source root: each
# library publishes the headers it lists, as one-line forwarding headers under
# <build>/include/<library>/<folder>/, and only targets that link the library
# get that folder on their include path. So an include of a library that is
# not linked fails to compile, and every library links what it uses.
#
# A core library links no Qt (checked after all folders are read, see
# zumbrel_check_layers), so a wrong include fails the build; a gui library
# links Qt 6 Widgets.

set(ZUMBREL_INCLUDE_ROOT ${PROJECT_BINARY_DIR}/include)

# zumbrel_headers(<target> PUBLIC|PRIVATE|INTERFACE <header>...)
# Makes headers of the current folder (or below it) includable by their path
# from the source root, by the target alone (PRIVATE) or by it and whatever
# links it (PUBLIC, INTERFACE).
function(zumbrel_headers target scope)
  set(root ${ZUMBREL_INCLUDE_ROOT}/${target})
  if(scope STREQUAL "PRIVATE")
    string(APPEND root ".private")
  endif()
  foreach(header ${ARGN})
    set(real ${CMAKE_CURRENT_SOURCE_DIR}/${header})
    file(RELATIVE_PATH path ${PROJECT_SOURCE_DIR} ${real})
    if(NOT EXISTS ${real})
      message(FATAL_ERROR "${target}: no header ${path}")
    endif()
    # Rewritten only when its text changes, so a new configure rebuilds nothing.
    file(CONFIGURE OUTPUT ${root}/${path} CONTENT "#include \"${real}\"\n")
    set_property(GLOBAL APPEND PROPERTY ZUMBREL_STAGED_HEADERS ${root}/${path})
  endforeach()
  target_include_directories(${target} ${scope} ${root})
  # Listed as sources too, for moc and for IDEs.
  target_sources(${target} PRIVATE ${ARGN})
endfunction()

# zumbrel_library(<name> CORE|GUI [SOURCES <file>...] [HEADERS <file>...]
#                 [PRIVATE_HEADERS <file>...])
# A static library of the current folder (an interface library when it has
# headers only). Its links are declared by the caller with
# target_link_libraries, each library naming the ones it includes.
function(zumbrel_library name layer)
  cmake_parse_arguments(PARSE_ARGV 2 arg "" "" "SOURCES;HEADERS;PRIVATE_HEADERS")
  if(arg_UNPARSED_ARGUMENTS)
    message(FATAL_ERROR "zumbrel_library(${name}): unexpected ${arg_UNPARSED_ARGUMENTS}")
  endif()
  if(arg_SOURCES)
    add_library(${name} STATIC ${arg_SOURCES})
    set(scope PUBLIC)
  else()
    add_library(${name} INTERFACE)
    set(scope INTERFACE)
  endif()
  if(arg_HEADERS)
    zumbrel_headers(${name} ${scope} ${arg_HEADERS})
  endif()
  if(arg_PRIVATE_HEADERS)
    zumbrel_headers(${name} PRIVATE ${arg_PRIVATE_HEADERS})
  endif()

  if(layer STREQUAL "CORE")
    if(arg_SOURCES)
      set_target_properties(${name} PROPERTIES AUTOMOC OFF AUTOUIC OFF AUTORCC OFF)
    endif()
    set_property(GLOBAL APPEND PROPERTY ZUMBREL_CORE_LIBS ${name})
  elseif(layer STREQUAL "GUI")
    set_target_properties(${name} PROPERTIES AUTOMOC ON AUTORCC ON)
    target_link_libraries(${name} PUBLIC Qt6::Widgets)
    set_property(GLOBAL APPEND PROPERTY ZUMBREL_GUI_LIBS ${name})
  else()
    message(FATAL_ERROR "zumbrel_library(${name}): the layer is CORE or GUI, not ${layer}")
  endif()
endfunction()

# Every library that `target` links, directly or through others.
function(zumbrel_link_closure target out)
  set(seen)
  set(todo ${target})
  while(todo)
    list(POP_FRONT todo t)
    get_target_property(type ${t} TYPE)
    set(links)
    if(NOT type STREQUAL "INTERFACE_LIBRARY")
      get_target_property(direct ${t} LINK_LIBRARIES)
      if(direct)
        list(APPEND links ${direct})
      endif()
    endif()
    get_target_property(iface ${t} INTERFACE_LINK_LIBRARIES)
    if(iface)
      list(APPEND links ${iface})
    endif()
    foreach(l ${links})
      string(REGEX REPLACE "^\\$<LINK_ONLY:(.*)>$" "\\1" l "${l}")
      if(NOT l IN_LIST seen)
        list(APPEND seen ${l})
        if(TARGET ${l})
          list(APPEND todo ${l})
        endif()
      endif()
    endforeach()
  endwhile()
  set(${out} ${seen} PARENT_SCOPE)
endfunction()

# Called once after every folder is read: no core library reaches Qt or a gui
# library through its links, and no forwarding header is left over from a
# header no longer listed (it would let a stale include compile here and fail
# on a fresh clone).
function(zumbrel_check_layers)
  get_property(core GLOBAL PROPERTY ZUMBREL_CORE_LIBS)
  get_property(gui GLOBAL PROPERTY ZUMBREL_GUI_LIBS)
  foreach(lib ${core})
    zumbrel_link_closure(${lib} closure)
    foreach(l ${closure})
      if(l MATCHES "^Qt[0-9]*::" OR l IN_LIST gui)
        message(FATAL_ERROR "Core library ${lib} links ${l}: the core links no Qt and no gui library")
      endif()
    endforeach()
  endforeach()

  get_property(staged GLOBAL PROPERTY ZUMBREL_STAGED_HEADERS)
  file(GLOB_RECURSE present LIST_DIRECTORIES false ${ZUMBREL_INCLUDE_ROOT}/*)
  foreach(f ${present})
    if(NOT f IN_LIST staged)
      file(REMOVE ${f})
    endif()
  endforeach()
endfunction()
