# SPDX-License-Identifier: MIT
# The colour pickers on a real X server (starts its own Xvfb).
add_executable(pickers_bench ${CMAKE_CURRENT_LIST_DIR}/pickers_bench.cpp)
target_link_libraries(pickers_bench PRIVATE vandrel_ui vandrel_warnings)
# What the X server holds for the program (libxcb-res0-dev).
find_package(PkgConfig)
if(PKG_CONFIG_FOUND)
    pkg_check_modules(XCB_RES IMPORTED_TARGET xcb-res)
endif()
if(XCB_RES_FOUND)
    target_compile_definitions(pickers_bench PRIVATE VANDREL_HAVE_XCB_RES)
    target_link_libraries(pickers_bench PRIVATE PkgConfig::XCB_RES)
endif()
