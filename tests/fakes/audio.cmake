# Stand-ins for the lesson player and the wave devices.
add_library(lexbay_fake_audio STATIC
  ${CMAKE_CURRENT_LIST_DIR}/FakeMediaPlayer.h ${CMAKE_CURRENT_LIST_DIR}/FakeMediaPlayer.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FakeWaveDevice.h ${CMAKE_CURRENT_LIST_DIR}/FakeWaveDevice.cpp
)
target_include_directories(lexbay_fake_audio PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(lexbay_fake_audio PUBLIC lexbay_audio)
