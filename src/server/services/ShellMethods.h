#pragma once
// The named methods of the client shell.
//
// "CompanyDatabase": no args; answers the session's company database (the shell hands it to
// every program it starts).
//
// "ProgramList": the programs of the session's company and what the session's user may do
// with each, for the shell's program menu and its program launcher.
//
//   args: none, or [program identifier] for that one program
//   answer: an array of rows in program order, each
//           [program identifier, program name, may run "Y"/"N", super user "Y"/"N", rights text]
//   where "may run" is "Y" for a super user (ADMMF.MF005 = "Y") or a rights row of the user
//   and program (ADMMG) whose MG003 is "Y", and the rights text is that row's MG006 ("" without
//   a row). A program without a row in ADMMB is not in the answer.

#include "server/services/NamedMethods.h"

namespace orvane {

void registerShellMethods(NamedMethods& methods);

} // namespace orvane
