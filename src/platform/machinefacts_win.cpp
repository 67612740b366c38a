#include "platform/machinefacts.h"

namespace kestrun::platform {

// The vendor SDK finds the sensors itself: nothing on the machine tells more than that it did not.
MachineFacts probeMachineFacts()
{
    MachineFacts facts;
    facts.source = MachineFacts::Source::VendorSdk;
    return facts;
}

} // namespace kestrun::platform
