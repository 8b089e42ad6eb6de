# Puts the report's script and style sheet into the program, so a report
# needs nothing from the installation.
file(READ "${SCRIPT}" script)
file(READ "${STYLE}" style)
file(WRITE "${OUT}" "#include \"WebAssets.h\"\n\nnamespace vorlen {\n\n"
  "std::string_view webScript()\n{\n    return R\"VORLENWEB(${script})VORLENWEB\";\n}\n\n"
  "std::string_view webStyle()\n{\n    return R\"VORLENWEB(${style})VORLENWEB\";\n}\n\n} // namespace vorlen\n")
