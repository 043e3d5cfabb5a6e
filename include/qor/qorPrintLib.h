// Everything a client of qorPrintLib includes: one header for the whole public API.
#pragma once

#include <qor/RuntimeError.h>
#include <qor/Variant.h>
#include <qor/Locale.h>
#include <qor/Format.h>

#include <qor/Application.h>
#include <qor/Enums.h>
#include <qor/GenServices.h>

#include <qor/Picture.h>
#include <qor/VSPrinter.h>
#include <qor/VSPDF.h>
#include <qor/Spooler.h>
#include <qor/PagePainting.h>
#include <qor/Preview.h>

#include <qor/PrinterList.h>
#include <qor/RtfText.h>
#include <qor/Texts.h>
#include <qor/clsqorPrintLib.h>

#include <qor/Recordset.h>
#include <qor/SqliteRecordset.h>
#include <qor/DataGrid.h>
#include <qor/clsRapport.h>
