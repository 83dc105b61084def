# Writes OUTPUT: for each of FILES a line "<SHA-256 in hex>  <file name>", the form that
# `sha256sum -c` reads in the folder of the files.
#   cmake -DFILES=a;b -DOUTPUT=sums.txt -P sha256sums.cmake
set(lines "")
foreach(file IN LISTS FILES)
  file(SHA256 ${file} hash)
  get_filename_component(name ${file} NAME)
  string(APPEND lines "${hash}  ${name}\n")
endforeach()
file(WRITE ${OUTPUT} "${lines}")
