// CWizardStates: the state record of a multi-page wizard, with its defaults and copying.
#include <cstring>

#include "vantrel/settings.h"

CWizardStates::CWizardStates()
    : m_nState0(0),
      m_nState1(0),
      m_nState2(0),
      m_nState3(0),
      m_nState4(0),
      m_nState5(1),
      m_bState6(0),
      m_nState7(0),
      m_nState8(0),
      m_nState9(0),
      m_bState10(0),
      m_bState14(0),
      m_bState15(0),
      m_bState16(0),
      m_abState17{},
      m_nState18(99),
      m_fState19(1.0f),
      m_nState21(0),
      m_nState23(0),
      m_bState24(0) {}

CWizardStates::CWizardStates(const CWizardStates& other) = default;

CWizardStates::~CWizardStates() = default;

CWizardStates& CWizardStates::operator=(const CWizardStates& other) = default;
