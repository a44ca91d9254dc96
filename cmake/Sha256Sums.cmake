# Writes OUTPUT in the form `sha256sum -c` reads: one line per file of
# FILES, its SHA-256 and its name.
# Usage: cmake -DOUTPUT=... -DFILES=a;b;c -P Sha256Sums.cmake
set(sums "")
foreach(file ${FILES})
  get_filename_component(name ${file} NAME)
  file(SHA256 ${file} sum)
  string(APPEND sums "${sum}  ${name}\n")
endforeach()
file(WRITE ${OUTPUT} "${sums}")
