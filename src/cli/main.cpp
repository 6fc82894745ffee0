#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream(stderr) << "usage: pelinor-cli COMMAND [OPTIONS]\n";
    return 2;
}
