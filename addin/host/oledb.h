#pragma once
// The host's OLE DB layer, as the providers reach it.

#include "platform/oledb/oledb.h"
