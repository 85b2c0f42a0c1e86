#include "platform/capture/named_device_moniker.h"

#include <utility>

#include "platform/capture/utf16.h"

namespace {

class FriendlyNameBag : public IPropertyBag {
public:
    explicit FriendlyNameBag(std::string name) : m_name(std::move(name)) {}
    HRESULT Read(const std::string& name, std::u16string* value) override {
        if (value == nullptr) {
            return E_POINTER;
        }
        if (name != "FriendlyName") {
            return E_INVALIDARG;
        }
        *value = Utf8ToUtf16(m_name);
        return S_OK;
    }

private:
    std::string m_name;
};

class NamedDeviceMoniker : public IMoniker {
public:
    NamedDeviceMoniker(std::string name, std::function<std::shared_ptr<BaseFilter>()> bind)
        : m_name(std::move(name)), m_bind(std::move(bind)) {}
    HRESULT BindToPropertyBag(std::unique_ptr<IPropertyBag>* bag) override {
        if (bag == nullptr) {
            return E_POINTER;
        }
        *bag = std::make_unique<FriendlyNameBag>(m_name);
        return S_OK;
    }
    HRESULT BindToFilter(std::shared_ptr<BaseFilter>* filter) override {
        if (filter == nullptr) {
            return E_POINTER;
        }
        *filter = m_bind();
        return *filter ? S_OK : E_FAIL;
    }

private:
    std::string m_name;
    std::function<std::shared_ptr<BaseFilter>()> m_bind;
};

}  // namespace

std::unique_ptr<IMoniker> MakeNamedDeviceMoniker(
    std::string friendlyName, std::function<std::shared_ptr<BaseFilter>()> bind) {
    return std::make_unique<NamedDeviceMoniker>(std::move(friendlyName), std::move(bind));
}
