# Programs keep their Windows file names (".exe" included) on every platform:
# those names are what the programs count and start.
function(tvd_set_program_name target name)
    set_target_properties(${target} PROPERTIES OUTPUT_NAME "${name}" SUFFIX "")
endfunction()
