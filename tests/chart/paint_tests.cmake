# Layout, painting and the chart widget, rendered offscreen.
add_executable(chart_paint_tests
  ${CMAKE_CURRENT_LIST_DIR}/test_paint_fixture.h
  ${CMAKE_CURRENT_LIST_DIR}/test_paint_layout.cpp
  ${CMAKE_CURRENT_LIST_DIR}/test_paint_render.cpp
  ${CMAKE_CURRENT_LIST_DIR}/test_paint_widget.cpp)
target_link_libraries(chart_paint_tests PRIVATE velmora_chart GTest::gtest_main)
gtest_discover_tests(chart_paint_tests PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
