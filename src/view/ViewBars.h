// The classes of the view's bars.
#pragma once

#include "bars/CMeterPanel.h"
#include "bars/CReadingsBar.h"
#include "bars/CRealTimeBar.h"
#include "bars/CScrollBarBar.h"
