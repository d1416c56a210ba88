# kt_plugin_module(<target> [NO_RC] [RC <file>] [EXPORT <name>] [OUTPUT_DIR <dir>]
#                  [DEFINITIONS <name=value>...] [SOURCES <file>...] [OPTIONS <flag>...])
#
# A Korvane plug-in module <target>.dll built from the SDK's sample source:
# DEFINITIONS set what it reports (PL_SAMPLE_NAME, ...; C only), RC replaces
# the sample's version resource and NO_RC leaves it out, EXPORT names the
# query function otherwise than PLGetInfo.
function(kt_plugin_module target)
    cmake_parse_arguments(PARSE_ARGV 1 arg "NO_RC" "RC;EXPORT;OUTPUT_DIR" "DEFINITIONS;SOURCES;OPTIONS")
    set(sample ${PROJECT_SOURCE_DIR}/sdk/sample)
    set(sources ${sample}/sample_plugin.c ${arg_SOURCES})
    if(NOT arg_NO_RC)
        if(NOT arg_RC)
            set(arg_RC ${sample}/sample_plugin.rc)
        endif()
        list(APPEND sources ${arg_RC})
    endif()
    set(definitions ${arg_DEFINITIONS})
    if(arg_EXPORT)
        set(def ${CMAKE_CURRENT_BINARY_DIR}/${target}.def)
        # Written only when it changes: a new time stamp would relink the
        # module after every configure.
        file(CONFIGURE OUTPUT ${def} CONTENT "EXPORTS\n    ${arg_EXPORT}\n")
        list(APPEND definitions PLGetInfo=${arg_EXPORT})
    else()
        set(def ${sample}/sample_plugin.def)
    endif()
    list(TRANSFORM definitions PREPEND "$<$<COMPILE_LANGUAGE:C>:")
    list(TRANSFORM definitions APPEND ">")

    add_library(${target} SHARED ${sources})
    set_target_properties(${target} PROPERTIES PREFIX "" C_STANDARD 11 C_STANDARD_REQUIRED ON)
    if(arg_OUTPUT_DIR)
        set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${arg_OUTPUT_DIR})
    endif()
    # The sample includes the header as a plug-in author has it: beside it.
    target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/sdk)
    target_compile_definitions(${target} PRIVATE ${definitions}
                               $<$<COMPILE_LANGUAGE:RC>:PL_SAMPLE_FILE=${target}.dll>)
    target_compile_options(${target} PRIVATE $<$<COMPILE_LANGUAGE:C>:-Wall -Wextra -Werror>
                           ${arg_OPTIONS})
    # The .def gives the plain export name; the fixup lets it stand for the
    # stdcall-decorated symbol of the 32-bit build.
    target_link_options(${target} PRIVATE ${def} -Wl,--enable-stdcall-fixup)
    set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${def})
endfunction()
