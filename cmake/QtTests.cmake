# qv_qt_tests(PREFIX LIBRARY NAMES...): a Qt Test program test_NAME from NAMETest.cpp for each name,
# linked with LIBRARY and run by CTest as PREFIX_NAME on the offscreen platform.
function(qv_qt_tests prefix library)
    foreach(name ${ARGN})
        add_executable(test_${name} ${name}Test.cpp)
        target_link_libraries(test_${name} PRIVATE ${library} Qt6::Test)
        target_include_directories(test_${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests/support)
        add_test(NAME ${prefix}_${name} COMMAND test_${name})
        set_tests_properties(${prefix}_${name} PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
    endforeach()
endfunction()
