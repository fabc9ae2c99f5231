# SPDX-License-Identifier: MIT
# The colour pickers on a real X server (starts its own Xvfb).
add_executable(pickers_bench ${CMAKE_CURRENT_LIST_DIR}/pickers_bench.cpp)
target_link_libraries(pickers_bench PRIVATE vandrel_ui vandrel_warnings vandrel_server_pixmaps)
