#include "PlugIns/PlugInFactory.h"

// The root object of the test module: hands out plain objects named after the module.
class TestPlugInFactory : public QObject, public PlugInFactory
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID PlugInFactory_iid)
    Q_INTERFACES(PlugInFactory)

public:
    QObject* sharedInstance() override
    {
        if (!_shared)
            _shared = makeInstance(this);
        return _shared;
    }

    QObject* newInstance() override { return makeInstance(nullptr); }

private:
    static QObject* makeInstance(QObject* owner)
    {
        auto* instance = new QObject(owner);
        instance->setObjectName(QStringLiteral("TestPlugIn"));
        return instance;
    }

    QObject* _shared = nullptr;
};

#include "TestPlugIn.moc"
