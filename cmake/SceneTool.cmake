# One tool of the project: its commands as a library (CORE), its command-line program (CLI, in
# cli/), and with the windows its window library (WINDOW, in window/) with the user guide that F1
# shows, the window program and the program that renders its screenshots.
#   scene_tool(CORE lib CORE_SOURCES ... [CORE_LIBRARIES ...]
#              CLI program CLI_SOURCES ...
#              WINDOW lib WINDOW_SOURCES ... GUIDE name PROGRAM name MAIN file
#              SCREENSHOT program SCREENSHOT_MAIN file)
function(scene_tool)
    cmake_parse_arguments(T "" "CORE;CLI;WINDOW;GUIDE;PROGRAM;MAIN;SCREENSHOT;SCREENSHOT_MAIN"
                          "CORE_SOURCES;CORE_LIBRARIES;CLI_SOURCES;WINDOW_SOURCES" ${ARGN})
    add_library(${T_CORE} STATIC ${T_CORE_SOURCES})
    target_include_directories(${T_CORE} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
    target_link_libraries(${T_CORE} PUBLIC common ${T_CORE_LIBRARIES})
    target_link_libraries(${T_CORE} PRIVATE scene_warnings)

    list(TRANSFORM T_CLI_SOURCES PREPEND cli/)
    add_executable(${T_CLI} ${T_CLI_SOURCES})
    target_include_directories(${T_CLI} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/cli)
    target_link_libraries(${T_CLI} PRIVATE ${T_CORE} clisupport scene_warnings)
    target_link_options(${T_CLI} PRIVATE ${SCENE_PROGRAM_LINK_OPTIONS} ${SCENE_CLI_LINK_OPTIONS})
    install(TARGETS ${T_CLI})

    if(NOT SCENE_WITH_GUI)
        return()
    endif()
    list(TRANSFORM T_WINDOW_SOURCES PREPEND window/)
    add_library(${T_WINDOW} STATIC ${T_WINDOW_SOURCES})
    set_target_properties(${T_WINDOW} PROPERTIES AUTOMOC ON)
    target_include_directories(${T_WINDOW} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/window)
    target_link_libraries(${T_WINDOW} PUBLIC ${T_CORE} scenewidgets Qt6::Widgets)
    target_link_libraries(${T_WINDOW} PRIVATE scene_warnings)
    # The user guide that F1 shows, with its pictures, built into the program.
    file(GLOB pictures CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/docs/${T_GUIDE}*.png)
    qt_add_resources(${T_WINDOW} ${T_GUIDE}_guide PREFIX /guide BASE ${PROJECT_SOURCE_DIR}/docs
                     FILES ${PROJECT_SOURCE_DIR}/docs/${T_GUIDE}.md ${pictures})

    add_executable(${T_PROGRAM} window/${T_MAIN})
    # A window program on Windows: no console window opens beside it.
    set_target_properties(${T_PROGRAM} PROPERTIES WIN32_EXECUTABLE ON)
    target_link_libraries(${T_PROGRAM} PRIVATE ${T_WINDOW} scene_warnings)
    target_link_options(${T_PROGRAM} PRIVATE ${SCENE_PROGRAM_LINK_OPTIONS})
    install(TARGETS ${T_PROGRAM})

    # Renders the window into docs/*.png; see README.md.
    add_executable(${T_SCREENSHOT} window/${T_SCREENSHOT_MAIN})
    target_link_libraries(${T_SCREENSHOT} PRIVATE ${T_WINDOW} clisupport scene_warnings)
endfunction()
