; NSIS, a peer installer, as its authors would use it: the whole tree in one
; solid LZMA block. The benchmarks give the tree and the output:
;   makensis -V1 -DAPP=TREE -DOUTFILE=INSTALLER bench/bench.nsi
Name "Bench"
OutFile "${OUTFILE}"
SetCompressor /SOLID lzma
InstallDir "$PROGRAMFILES\Bench"
RequestExecutionLevel admin
Section
  SetOutPath "$INSTDIR"
  File /r "${APP}/*"
SectionEnd
