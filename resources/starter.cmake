# The starter libraries (cliparts, the six decoration families, brushes, frames), drawn by
# tools/libgen into one PNG bundle per library file under ":/data/starter/"; the start-up
# write-out expands each bundle to its library file when that file is missing.
set(_starter_files clipart.cfg chrome_p.cfg ca_p.cfg emboss_p.cfg cloth_p.cfg glow_p.cfg
                   neon_p.cfg brushs frame.cfg)
set(_starter_outputs "")
foreach(_f ${_starter_files})
  list(APPEND _starter_outputs ${_gen}/starter/${_f}.bundle)
endforeach()
add_custom_command(OUTPUT ${_starter_outputs}
  COMMAND mosaiq-libgen ${_gen}/starter
  DEPENDS mosaiq-libgen
  COMMENT "Drawing the starter libraries")
list(APPEND MOSAIQ_GENERATED_DATA ${_starter_outputs})
