#include "engine/BackupLocation.h"
