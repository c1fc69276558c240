# One static library per area and layer. The core layer of an area is the .cpp files of src/<area>/
# (and its sub-folders but gui/), the GUI layer those of src/<area>/gui/. A target sees only the
# areas it links: each area's headers are reached through an include root of its own that holds
# just that area, so including a header of an area one does not link fails to compile. Core
# libraries never link Qt Widgets, so a widget include in core code fails too. cmake/CheckLayers.cmake
# holds every #include line to the table in cmake/layers.txt.

# The include root of an area: a folder in the build tree whose only entry is the area.
function(orlamo_area_include_root area out)
    set(root ${PROJECT_BINARY_DIR}/include/${area})
    if(NOT EXISTS ${root}/${area})
        file(MAKE_DIRECTORY ${root})
        file(CREATE_LINK ${PROJECT_SOURCE_DIR}/src/${area} ${root}/${area} SYMBOLIC)
    endif()
    set(${out} ${root} PARENT_SCOPE)
endfunction()

# orlamo_layer(<target> AREA <area> [GUI] [DEPS ...])
function(orlamo_layer name)
    cmake_parse_arguments(ARG "GUI" "AREA" "DEPS" ${ARGN})
    set(dir ${PROJECT_SOURCE_DIR}/src/${ARG_AREA})
    if(ARG_GUI)
        file(GLOB sources CONFIGURE_DEPENDS ${dir}/gui/*.cpp ${dir}/gui/*.h)
        list(APPEND ARG_DEPS Qt6::Widgets)
    else()
        file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${dir}/*.cpp ${dir}/*.h)
        list(FILTER sources EXCLUDE REGEX "/gui/")
    endif()
    orlamo_area_include_root(${ARG_AREA} root)
    set(cpp ${sources})
    list(FILTER cpp INCLUDE REGEX "\\.cpp$")
    if(cpp)
        add_library(${name} STATIC ${sources})
        target_include_directories(${name} PUBLIC ${root})
        target_link_libraries(${name} PUBLIC orlamo_options ${ARG_DEPS})
    else()
        # An area that has no code yet in a layer still gives a target others can link.
        add_library(${name} INTERFACE)
        target_include_directories(${name} INTERFACE ${root})
        target_link_libraries(${name} INTERFACE orlamo_options ${ARG_DEPS})
    endif()
endfunction()

# A test program of its own per folder of tests/: every .cpp of the folder, GoogleTest with a Qt
# application object (tests/support). Each case is its own ctest entry with its own time-out.
# LABEL is unit, integration or gui; NEEDS names the programs the tests run (built first, and a
# missing one is a failure, never a silent skip).
function(orlamo_test name)
    cmake_parse_arguments(ARG "GUI" "TIMEOUT;LABEL" "DEPS;NEEDS" ${ARGN})
    file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
    add_executable(${name} ${sources})
    if(ARG_GUI)
        target_link_libraries(${name} PRIVATE orlamo_test_main_gui)
        if(NOT ARG_LABEL)
            set(ARG_LABEL gui)
        endif()
    else()
        target_link_libraries(${name} PRIVATE orlamo_test_main_core)
    endif()
    if(NOT ARG_LABEL)
        set(ARG_LABEL unit)
    endif()
    target_link_libraries(${name} PRIVATE orlamo_test_support ${ARG_DEPS})
    if(ARG_NEEDS)
        add_dependencies(${name} ${ARG_NEEDS})
    endif()
    if(NOT ARG_TIMEOUT)
        set(ARG_TIMEOUT 300)
    endif()
    # The test mains set where the programs and fixtures are (support/TestEnvironment.h), so the
    # cases run the same from ctest, from discovery and by hand.
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
                         PROPERTIES TIMEOUT ${ARG_TIMEOUT} LABELS ${ARG_LABEL})
endfunction()
