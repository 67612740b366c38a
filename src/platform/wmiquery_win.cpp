#include "wmiquery_win.h"

#include <algorithm>
#include <limits>

namespace {

// Owns one reference to a COM interface.
template <typename T>
class ComPtr
{
public:
    ComPtr() = default;
    ~ComPtr() { reset(); }
    ComPtr(const ComPtr &) = delete;
    ComPtr &operator=(const ComPtr &) = delete;

    T *get() const { return pointer; }
    T *operator->() const { return pointer; }
    explicit operator bool() const { return pointer != nullptr; }
    // Releases what it holds and hands out its slot, for a call that returns a new reference.
    T **out()
    {
        reset();
        return &pointer;
    }
    void **outVoid() { return reinterpret_cast<void **>(out()); }
    void reset()
    {
        if (pointer)
            pointer->Release();
        pointer = nullptr;
    }

private:
    T *pointer = nullptr;
};

class Bstr
{
public:
    explicit Bstr(const QString &value)
        : text(SysAllocStringLen(reinterpret_cast<const OLECHAR *>(value.utf16()), UINT(value.size())))
    {
    }
    ~Bstr() { SysFreeString(text); }
    Bstr(const Bstr &) = delete;
    Bstr &operator=(const Bstr &) = delete;
    BSTR get() const { return text; }

private:
    BSTR text;
};

class Variant
{
public:
    Variant() { VariantInit(&value); }
    ~Variant() { VariantClear(&value); }
    Variant(const Variant &) = delete;
    Variant &operator=(const Variant &) = delete;
    VARIANT value;
};

// The thread's COM apartment, joined for the connection's life. A thread already in the other
// kind of apartment keeps it (and is not left by us).
class ComApartment
{
public:
    ComApartment()
        : joined(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)))
    {
    }
    ~ComApartment()
    {
        if (joined)
            CoUninitialize();
    }
    ComApartment(const ComApartment &) = delete;
    ComApartment &operator=(const ComApartment &) = delete;

private:
    bool joined;
};

// WMI's providers act as the caller: its proxies must allow that (COM's default only lets them
// identify the caller, and some providers then refuse).
void allowImpersonation(IUnknown *proxy)
{
    CoSetProxyBlanket(proxy, RPC_C_AUTHN_WINNT, RPC_C_AUTHZ_NONE, nullptr, RPC_C_AUTHN_LEVEL_CALL,
                      RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_NONE);
}

// What is left of the deadline as a wait for IEnumWbemClassObject::Next.
long nextTimeout(const QDeadlineTimer &deadline)
{
    if (deadline.isForever())
        return long(WBEM_INFINITE);
    const qint64 left = deadline.remainingTime();
    return long(std::min<qint64>(left, std::numeric_limits<long>::max()));
}

QString bstrText(BSTR text)
{
    return text ? QString::fromWCharArray(text, int(SysStringLen(text))) : QString();
}

} // namespace

QString wmiValueText(const VARIANT &value, CIMTYPE type)
{
    switch (value.vt) {
    case VT_EMPTY:
    case VT_NULL:
        return QString();
    case VT_BSTR:
        return bstrText(value.bstrVal);
    case VT_BOOL:
        return value.boolVal != VARIANT_FALSE ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
    case VT_UI1:
        return QString::number(value.bVal);
    case VT_I2:
        return type == CIM_UINT16 ? QString::number(quint16(value.iVal)) : QString::number(value.iVal);
    case VT_UI2:
        return QString::number(value.uiVal);
    case VT_I4:
        return type == CIM_UINT32 ? QString::number(quint32(value.lVal)) : QString::number(value.lVal);
    case VT_UI4:
        return QString::number(value.ulVal);
    case VT_I8:
        return type == CIM_UINT64 ? QString::number(quint64(value.llVal)) : QString::number(value.llVal);
    case VT_UI8:
        return QString::number(value.ullVal);
    default:
        break;
    }
    Variant text;
    // The source is only read; some headers declare it without const.
    if (FAILED(VariantChangeType(&text.value, const_cast<VARIANT *>(&value), 0, VT_BSTR)))
        return QString();
    return bstrText(text.value.bstrVal);
}

struct WmiConnection::State {
    ComApartment apartment;
    ComPtr<IWbemLocator> locator;
    ComPtr<IWbemServices> services;
};

WmiConnection::WmiConnection()
    : d(std::make_unique<State>())
{
    if (FAILED(
            CoCreateInstance(CLSID_WbemLocator, nullptr, CLSCTX_INPROC_SERVER, IID_IWbemLocator, d->locator.outVoid())))
        return;
    const Bstr space(QStringLiteral("ROOT\\CIMV2"));
    // The connection itself waits at most two minutes, not for ever.
    if (FAILED(d->locator->ConnectServer(space.get(), nullptr, nullptr, nullptr, WBEM_FLAG_CONNECT_USE_MAX_WAIT,
                                         nullptr, nullptr, d->services.out()))) {
        d->services.reset();
        return;
    }
    allowImpersonation(d->services.get());
}

WmiConnection::~WmiConnection() = default;

bool WmiConnection::isConnected() const
{
    return bool(d->services);
}

QVector<QStringList> WmiConnection::select(const QString &className, const QStringList &properties,
                                           const QString &condition, const QDeadlineTimer &deadline) const
{
    QVector<QStringList> rows;
    if (!d->services)
        return rows;
    QString text = QStringLiteral("SELECT ") + properties.join(QLatin1Char(',')) + QStringLiteral(" FROM ") + className;
    if (!condition.isEmpty())
        text += QStringLiteral(" WHERE ") + condition;
    const Bstr language(QStringLiteral("WQL"));
    const Bstr query(text);
    ComPtr<IEnumWbemClassObject> objects;
    // Returns at once; the objects then come through the enumerator, each wait bounded.
    if (FAILED(d->services->ExecQuery(language.get(), query.get(),
                                      WBEM_FLAG_FORWARD_ONLY | WBEM_FLAG_RETURN_IMMEDIATELY, nullptr, objects.out())))
        return rows;
    allowImpersonation(objects.get());
    while (!deadline.hasExpired()) {
        ComPtr<IWbemClassObject> object;
        ULONG returned = 0;
        // WBEM_S_FALSE: no more objects; WBEM_S_TIMEDOUT: the deadline passed first.
        const HRESULT result = objects->Next(nextTimeout(deadline), 1, object.out(), &returned);
        if (result != WBEM_S_NO_ERROR || returned != 1)
            break;
        QStringList row;
        for (const QString &property : properties) {
            Variant value;
            CIMTYPE type = CIM_EMPTY;
            const std::wstring name = property.toStdWString();
            row << (SUCCEEDED(object->Get(name.c_str(), 0, &value.value, &type, nullptr))
                        ? wmiValueText(value.value, type)
                        : QString());
        }
        rows << row;
    }
    return rows;
}
