#include "redirector/session/OptionTransfer.h"

OptionTransfer& OptionTransfer::shared() {
    static OptionTransfer record;
    return record;
}
