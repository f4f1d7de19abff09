# hushvault_copy_config(target): the program finds its definition files and pages in
# config/ beside itself; Windows has traces of its own, kept in config/windows/.
function(hushvault_copy_config target)
  if(WIN32)
    set(config ${PROJECT_SOURCE_DIR}/config/windows)
  else()
    set(config ${PROJECT_SOURCE_DIR}/config)
  endif()
  file(GLOB config_files ${config}/*.cln ${config}/*.pick)
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E make_directory $<TARGET_FILE_DIR:${target}>/config
    COMMAND ${CMAKE_COMMAND} -E copy ${config_files} $<TARGET_FILE_DIR:${target}>/config)
endfunction()
