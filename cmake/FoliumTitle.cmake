# folium_compile_title(target project output): compiles a title project with
# our own compiler at build time.
function(folium_compile_title target project output)
  get_filename_component(src_dir ${project} DIRECTORY)
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${src_dir}/*.xml ${src_dir}/*.png ${src_dir}/*.jpg)
  get_filename_component(out_dir ${output} DIRECTORY)
  get_filename_component(out_base ${output} NAME_WE)
  add_custom_command(
    OUTPUT ${output} ${out_dir}/${out_base}.mdb
    COMMAND ${CMAKE_COMMAND} -E make_directory ${out_dir}
    COMMAND folium-mktitle -q -o ${output} ${project}
    DEPENDS folium-mktitle ${sources}
    COMMENT "Compiling title ${output}"
    VERBATIM)
  add_custom_target(${target} ALL DEPENDS ${output})
endfunction()
