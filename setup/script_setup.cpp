#include "setup/script_lines.h"
#include "support/text.h"

namespace tessel {

TScriptLines SetupScriptLines(const TParamlist& general, const TQuotedINI& base) {
  TScriptLines lines;
  lines.push_back("EXIT_IF=SETUP_INVOKED");
  for (size_t i = 0; i < general.Count(); ++i) {
    lines.push_back(general.NameAt(i) + "=\"" + general.ValueAt(i) + "\"");
  }
  lines.push_back("MESSAGE_TO_IGNORE=");
  TParamlist messages;
  base.ReadSectionValues("vleMessagesToIgnore", messages);
  for (size_t i = 0; i < messages.Count(); ++i) {
    const std::string value = messages.ValueAt(i);
    if (AnsiUpperCase(GetField(value, 2, ";")) == "OFF") continue;
    lines.push_back("MESSAGE_TO_IGNORE=\"" + value + "\"");
  }
  lines.insert(lines.end(), {
                                "SOURCEFILE=\"$(LIBDIR)\\SOURCE\\$(PROG).SRC\"",
                                "TARGETFILE=\"$(OBJECTDIR)\\$(PROG).OBJ\"",
                                "DEPENDENCY=",
                                "DEPENDENCY=$(SOURCEFILE)",
                                "DEPENDENCY=\"$(PROJECTDIR)\\SETUP.PRJ\"",
                                "DEPENDANT=$(TARGETFILE)",
                                "ASM_OPT=",
                                "INCLUDE=\"$(PROJECTDIR)\\ASMSH_OPTIONS.PRJ\"",
                            });
  for (const char* module : {"fxCG_RAM_STARTUP", "fxCG_G3A_STARTUP"}) {
    lines.push_back(std::string("PROG=\"") + module + "\"");
    lines.push_back("SOURCEFILE=\"$(LIBDIR)\\SOURCE\\$(PROG).SRC\"");
    lines.push_back("TARGETFILE=\"$(OBJECTDIR)\\$(PROG).OBJ\"");
    lines.push_back("EXECUTE=$(ASM_CMD)");
  }
  lines.insert(lines.end(), {"DEPENDENCY=", "ASM_OPT=", "DEPENDANT=", "SETUP_INVOKED=TRUE"});
  return lines;
}

}  // namespace tessel
