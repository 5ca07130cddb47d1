# add_folder_library(<target> LIBS <targets...>): one static library of every source in the
# calling folder, so each folder of the tree is one target.
function(add_folder_library target)
  cmake_parse_arguments(L "" "" "LIBS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp
       ${CMAKE_CURRENT_SOURCE_DIR}/*.h ${CMAKE_CURRENT_SOURCE_DIR}/*.qrc)
  add_library(${target} STATIC ${sources})
  target_link_libraries(${target} PUBLIC ${L_LIBS})
endfunction()
