// Range validators for dialog data exchange.
//
// When the exchange goes from the controls to the variables (m_bSaveAndValidate nonzero) and
// the value lies outside [min, max], each shows the framework's range prompt naming the two
// bounds (AFX_IDP_PARSE_INT_RANGE for the integer forms, AFX_IDP_PARSE_REAL_RANGE for the
// float form) with AfxMessageBox, then calls pDX->Fail(), which does not return. Into the
// controls they check nothing. The value itself is never changed.
#pragma once

#include "orvane/astring.h"
#include "orvane/export.h"
#include "vantrel_platform/dialog_exchange.h"

// Bounds in the prompt as signed decimals ("%d").
ORVANE_API void DDV_MinMaxInt_OV(CDataExchange* pDX, int value, int minVal, int maxVal);
// Bounds in the prompt as unsigned decimals ("%u").
ORVANE_API void DDV_MinMaxUInt_OV(CDataExchange* pDX, unsigned value, unsigned minVal,
                                  unsigned maxVal);
// Bounds in the prompt with six significant digits ("%.6g"). A NaN value fails: only a value
// with min <= value <= max passes.
ORVANE_API void DDV_MinMaxFloat_OV(CDataExchange* pDX, const float& value, float minVal,
                                   float maxVal);
