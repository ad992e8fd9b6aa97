# Each library sees only its own headers and those of the libraries it links. Its folder is
# exported through a directory of its own in the build tree that holds a link to that folder
# alone, under the floor's name (`core/language`, `render`, `app/gui`): an include that names a
# folder the library does not link fails to compile, so no include reaches up a floor or sideways.
function(axolite_export_headers target folder)
    set(root ${PROJECT_BINARY_DIR}/include/${target})
    get_filename_component(parent ${root}/${folder} DIRECTORY)
    file(MAKE_DIRECTORY ${parent})
    if(NOT EXISTS ${root}/${folder})
        file(CREATE_LINK ${PROJECT_SOURCE_DIR}/src/${folder} ${root}/${folder} SYMBOLIC)
    endif()
    get_target_property(type ${target} TYPE)
    if(type STREQUAL "INTERFACE_LIBRARY")
        target_include_directories(${target} INTERFACE ${root})
    else()
        target_include_directories(${target} PUBLIC ${root})
    endif()
endfunction()
