# The built-in mask library pair ("mask.cfg", resource IDR_MASK_RES 275, and its thumbnails
# "tbmask.cfg", 274), drawn by tools/maskgen.
add_custom_command(OUTPUT ${_gen}/mask.cfg ${_gen}/tbmask.cfg
  COMMAND mosaiq-maskgen ${_gen}
  DEPENDS mosaiq-maskgen
  COMMENT "Drawing the built-in masks")
list(APPEND MOSAIQ_GENERATED_DATA ${_gen}/mask.cfg ${_gen}/tbmask.cfg)
