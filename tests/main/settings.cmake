# SPDX-License-Identifier: MIT
# The settings file Config.ini: reading, writing, where it lives, and several
# writers at once.
vandrel_gtest(test_settingsstore test_settingsstore.cpp)
# Some tests fork the test program and wait for it; bound them in case a lock hangs.
set_tests_properties(test_settingsstore PROPERTIES TIMEOUT 120)

# libFuzzer target over the reader and the writer. It compiles the store
# directly and links only QtCore, so it builds without the rest of the program.
if(VANDREL_FUZZ AND CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    add_executable(fuzz_settings fuzz_settings.cpp
        ${PROJECT_SOURCE_DIR}/main/inifile.cpp ${PROJECT_SOURCE_DIR}/main/settingslock.cpp
        ${PROJECT_SOURCE_DIR}/main/settingsstore.cpp ${PROJECT_SOURCE_DIR}/main/settingslocation.cpp)
    target_include_directories(fuzz_settings PRIVATE ${PROJECT_SOURCE_DIR} ${PROJECT_BINARY_DIR})
    target_compile_options(fuzz_settings PRIVATE -fsanitize=fuzzer,address,undefined
                                                 -fno-omit-frame-pointer)
    target_link_options(fuzz_settings PRIVATE -fsanitize=fuzzer,address,undefined)
    target_link_libraries(fuzz_settings PRIVATE Qt6::Core vandrel_warnings)
endif()
