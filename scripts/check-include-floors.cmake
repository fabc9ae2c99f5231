# SPDX-License-Identifier: MIT
# Fails when a source file includes a header from a higher floor.
#   cmake -DFLOORS="colour;common|assets;..." -DSOURCE_DIR=<tree> -P check-include-floors.cmake
# FLOORS lists the floors from the lowest up; folders on one floor are joined
# by "|" and may not include one another. A file may include from its own
# folder and from any lower floor.
cmake_minimum_required(VERSION 3.25)
get_filename_component(SOURCE_DIR "${SOURCE_DIR}" ABSOLUTE)

set(rank 0)
set(folders)
foreach(floor IN LISTS FLOORS)
    string(REPLACE "|" ";" floor_folders "${floor}")
    foreach(folder IN LISTS floor_folders)
        set(rank_${folder} ${rank})
        list(APPEND folders ${folder})
    endforeach()
    math(EXPR rank "${rank} + 1")
endforeach()

set(faults)
foreach(folder IN LISTS folders)
    file(GLOB_RECURSE sources "${SOURCE_DIR}/${folder}/*.h" "${SOURCE_DIR}/${folder}/*.cpp"
         "${SOURCE_DIR}/${folder}/*.h.in")
    foreach(source IN LISTS sources)
        file(STRINGS "${source}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"[^\"/]+/")
        foreach(line IN LISTS includes)
            string(REGEX REPLACE "^[^\"]*\"([^\"/]+)/.*$" "\\1" target "${line}")
            if(target STREQUAL folder OR NOT DEFINED rank_${target})
                continue()
            endif()
            if(NOT rank_${target} LESS rank_${folder})
                file(RELATIVE_PATH shown "${SOURCE_DIR}" "${source}")
                list(APPEND faults "${shown}: ${line}")
            endif()
        endforeach()
    endforeach()
endforeach()

if(faults)
    list(JOIN faults "\n  " text)
    message(FATAL_ERROR "Includes that run upward (floors from the lowest: ${FLOORS}):\n  ${text}")
endif()
