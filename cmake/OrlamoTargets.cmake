# One static library per area and layer. The core layer of an area is the .cpp files of src/<area>/,
# the GUI layer those of src/<area>/gui/. Core libraries never link Qt Widgets, so a widget include
# in core code fails to compile.

function(orlamo_library name)
    cmake_parse_arguments(ARG "" "DIR" "DEPS" ${ARGN})
    if(NOT ARG_DIR)
        set(ARG_DIR ${CMAKE_CURRENT_SOURCE_DIR})
    endif()
    file(GLOB sources CONFIGURE_DEPENDS ${ARG_DIR}/*.cpp ${ARG_DIR}/*.h ${ARG_DIR}/*/*.cpp ${ARG_DIR}/*/*.h)
    # sub-folders of an area that are their own layer
    list(FILTER sources EXCLUDE REGEX "/gui/")
    list(FILTER sources EXCLUDE REGEX "/cli/")
    orlamo_add_layer(${name} "${sources}" "${ARG_DEPS}")
endfunction()

# An area that has no code yet in a layer still gives a target others can link.
function(orlamo_add_layer name sources deps)
    list(FILTER sources INCLUDE REGEX "\\.cpp$")
    if(sources)
        add_library(${name} STATIC ${ARGV1})
        target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
        target_link_libraries(${name} PUBLIC orlamo_options ${deps})
    else()
        add_library(${name} INTERFACE)
        target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR}/src)
        target_link_libraries(${name} INTERFACE orlamo_options ${deps})
    endif()
endfunction()

function(orlamo_gui_library name)
    cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
    file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/gui/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/gui/*.h)
    orlamo_add_layer(${name} "${sources}" "Qt6::Widgets;${ARG_DEPS}")
endfunction()

# A test program of its own per folder of tests/: every .cpp of the folder, GoogleTest with a Qt
# application object (tests/support), run by ctest with the offscreen platform.
function(orlamo_test name)
    cmake_parse_arguments(ARG "GUI" "TIMEOUT" "DEPS" ${ARGN})
    file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
    add_executable(${name} ${sources})
    if(ARG_GUI)
        target_link_libraries(${name} PRIVATE orlamo_test_main_gui)
    else()
        target_link_libraries(${name} PRIVATE orlamo_test_main_core)
    endif()
    target_link_libraries(${name} PRIVATE orlamo_test_support ${ARG_DEPS})
    if(NOT ARG_TIMEOUT)
        set(ARG_TIMEOUT 600)
    endif()
    add_test(NAME ${name} COMMAND ${name})
    # Tests find the programs they drive (modemsim, orlamo, orlamo-cli) in ORLAMO_BIN_DIR.
    set_tests_properties(${name} PROPERTIES TIMEOUT ${ARG_TIMEOUT}
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;ORLAMO_TEST_DATA=${PROJECT_SOURCE_DIR}/tests/data;ORLAMO_BIN_DIR=${PROJECT_BINARY_DIR}/bin")
endfunction()
