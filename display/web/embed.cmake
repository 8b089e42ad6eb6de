# Puts the pages' script and style sheet into the program, so a report
# needs nothing from the installation. The script is its parts in order:
# what they share, a match's page, a run's index, and what starts either.
set(script "")
foreach(part common match run start)
  file(READ "${SCRIPT_DIR}/${part}.js" text)
  string(APPEND script "${text}")
endforeach()
file(READ "${STYLE}" style)
file(WRITE "${OUT}" "#include \"WebAssets.h\"\n\nnamespace vorlen {\n\n"
  "std::string_view webScript()\n{\n    return R\"VORLENWEB(${script})VORLENWEB\";\n}\n\n"
  "std::string_view webStyle()\n{\n    return R\"VORLENWEB(${style})VORLENWEB\";\n}\n\n} // namespace vorlen\n")
