// Class records, so the document template can create the document, frame and
// view by class without knowing the program's types.
#pragma once

class CObjectBase;

struct CRuntimeClass {
    const char* m_lpszClassName;
    CObjectBase* (*m_pfnCreateObject)();

    CObjectBase* CreateObject() const { return m_pfnCreateObject ? m_pfnCreateObject() : nullptr; }
};

// Common base of everything a record can create. Classes without a record of
// their own report none.
class CObjectBase {
  public:
    virtual ~CObjectBase() = default;
    virtual const CRuntimeClass* GetRuntimeClass() const { return nullptr; }
};

#define RUNTIME_CLASS(theClass) (&theClass::classRecord)

#define DECLARE_DYNCREATE(theClass)                                                                \
  public:                                                                                          \
    static const CRuntimeClass classRecord;                                                        \
    static CObjectBase* CreateObject();                                                            \
    const CRuntimeClass* GetRuntimeClass() const override {                                        \
        return &classRecord;                                                                       \
    }

#define IMPLEMENT_DYNCREATE(theClass)                                                              \
    const CRuntimeClass theClass::classRecord = {#theClass, &theClass::CreateObject};              \
    CObjectBase* theClass::CreateObject() {                                                        \
        return new theClass;                                                                       \
    }
