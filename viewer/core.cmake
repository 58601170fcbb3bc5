# The viewer's logic without widgets: drawing on the indexed map, the clock's
# texts, the map file. Tested on its own; the windows link it.
add_library(korvalen_viewer_core STATIC
  ${CMAKE_CURRENT_LIST_DIR}/map_surface.cpp ${CMAKE_CURRENT_LIST_DIR}/map_surface.h
  ${CMAKE_CURRENT_LIST_DIR}/clock_text.cpp ${CMAKE_CURRENT_LIST_DIR}/clock_text.h
  ${CMAKE_CURRENT_LIST_DIR}/map_file.cpp ${CMAKE_CURRENT_LIST_DIR}/map_file.h)
target_link_libraries(korvalen_viewer_core PUBLIC korvalen_geo korvalen_settings Qt6::Gui)
target_include_directories(korvalen_viewer_core PUBLIC ${PROJECT_SOURCE_DIR})
