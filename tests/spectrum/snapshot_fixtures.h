#pragma once

// MakeBusySnapshot and ZeroRam now live with the other snapshot builders.
#include "support/snapshot_files.h"
