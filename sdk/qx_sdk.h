/* Everything a Quelvix host or plug-in needs, in one include. */
#ifndef QX_SDK_H
#define QX_SDK_H

#include "qx_adm.h"
#include "qx_ai_art.h"
#include "qx_ai_services.h"
#include "qx_names.h"
#include "qx_plugin.h"
#include "qx_sp_suites.h"

#endif
