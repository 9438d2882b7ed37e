add_library(lexbay_fake_view STATIC
  ${CMAKE_CURRENT_LIST_DIR}/FakeHtmlView.h
  ${CMAKE_CURRENT_LIST_DIR}/FakeHtmlView.cpp)
target_include_directories(lexbay_fake_view PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(lexbay_fake_view PUBLIC lexbay_web)
