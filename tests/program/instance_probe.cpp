// A small second process for the program-library tests.
//   instance_probe check NAME  -> exit 0 when another process holds the
//                                 instance lock NAME (as a second reader
//                                 would quit), 3 when this one got it
//   instance_probe hold NAME   -> takes the lock, prints "held" and waits
//                                 until killed or stdin closes
//   LECTERN_PROBE_ROLE=1 instance_probe [ARGS]
//                              -> prints "installer" or "reader"
//   instance_probe terminate   -> calls std::terminate with the handler set
//   instance_probe settings    -> prints GetSettingsDirectory()
#include "Program.h"

#include <QtGlobal>

#include <cstdio>
#include <cstring>
#include <exception>

int main(int argc, char **argv)
{
    InitProgramArguments(argc, argv);
    if (qEnvironmentVariableIsSet("LECTERN_PROBE_ROLE")) {
        std::printf("%s\n", IsInstallerMode() ? "installer" : "reader");
        return 0;
    }
    const char *mode = argc > 1 ? argv[1] : "";
    if (std::strcmp(mode, "check") == 0 && argc > 2)
        return IsProgramInstanceRunning(QString::fromLocal8Bit(argv[2])) ? 0 : 3;
    if (std::strcmp(mode, "hold") == 0 && argc > 2) {
        if (IsProgramInstanceRunning(QString::fromLocal8Bit(argv[2])))
            return 0;
        std::printf("held\n");
        std::fflush(stdout);
        while (std::getchar() != EOF) {
        }
        ReleaseProgramInstance();
        return 3;
    }
    if (std::strcmp(mode, "settings") == 0) {
        std::printf("%s\n", qPrintable(GetSettingsDirectory()));
        return 0;
    }
    if (std::strcmp(mode, "terminate") == 0) {
        InstallTerminateHandler();
        std::terminate();
    }
    return 2;
}
