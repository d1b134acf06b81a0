// ports: the serial devices present, one a line: the path, and after a tab the adapter's name
// where the device has one.
#include "cli/CliCommands.h"
#include "cli/CliSupport.h"

#include "platform/SerialDevices.h"

namespace cli {

int ports(const QStringList& arguments) {
    if (!arguments.isEmpty())
        return kWrongArguments;
    for (const SerialDevice& device : listSerialDevices())
        print(stdout, device.name.isEmpty() ? device.path : device.path + u'\t' + device.name);
    return kOk;
}

} // namespace cli
