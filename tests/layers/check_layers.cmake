# Fails when a product folder includes a header of a folder that stands
# above it in the layer list, or when a window header is included outside
# its own folder and app/ (windows reach each other only through app/).
#   cmake -DSOURCE_DIR=<project> -DLAYERS="geo;data;...;app" -P check_layers.cmake
if(NOT SOURCE_DIR OR NOT LAYERS)
  message(FATAL_ERROR "SOURCE_DIR and LAYERS are needed")
endif()

set(faults 0)
set(position 0)
foreach(folder ${LAYERS})
  set(rank_${folder} ${position})
  math(EXPR position "${position} + 1")
endforeach()

foreach(folder ${LAYERS})
  file(GLOB_RECURSE sources RELATIVE ${SOURCE_DIR}
    ${SOURCE_DIR}/${folder}/*.h ${SOURCE_DIR}/${folder}/*.cpp ${SOURCE_DIR}/${folder}/*.in)
  foreach(source ${sources})
    file(STRINGS ${SOURCE_DIR}/${source} includes REGEX "^[ \t]*#[ \t]*include[ \t]+\"[A-Za-z0-9_]+/")
    foreach(line ${includes})
      string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]+\"([A-Za-z0-9_]+)/([^\"]*)\".*" "\\1;\\2" parts "${line}")
      list(GET parts 0 target)
      list(GET parts 1 header)
      if(NOT DEFINED rank_${target})
        message(SEND_ERROR "${source}: includes \"${target}/${header}\", a folder that is not a layer")
        math(EXPR faults "${faults} + 1")
      elseif(rank_${target} GREATER rank_${folder})
        message(SEND_ERROR "${source}: includes \"${target}/${header}\" from a layer above ${folder}")
        math(EXPR faults "${faults} + 1")
      elseif(NOT target STREQUAL folder AND NOT folder STREQUAL "app" AND header MATCHES "^form_")
        message(SEND_ERROR "${source}: includes the window header \"${target}/${header}\" of another folder")
        math(EXPR faults "${faults} + 1")
      endif()
    endforeach()
  endforeach()
endforeach()

if(faults GREATER 0)
  message(FATAL_ERROR "${faults} include(s) break the layers")
endif()
message(STATUS "every include goes down the layers")
