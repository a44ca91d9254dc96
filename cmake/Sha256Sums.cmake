# Writes OUTPUT in the form `sha256sum -c` reads: one line per file of
# FILES, its SHA-256 and its name. Lines end in CR LF, which Notepad before
# Windows 10 1809 needs to show them as lines; sha256sum reads them too.
# Usage: cmake -DOUTPUT=... -DFILES=a;b;c -P Sha256Sums.cmake
set(sums "")
foreach(file ${FILES})
  get_filename_component(name ${file} NAME)
  file(SHA256 ${file} sum)
  string(APPEND sums "${sum}  ${name}\r\n")
endforeach()
file(WRITE ${OUTPUT} "${sums}")
