#include "bench/datapath/Codec.h"
