// axolite.train: the forming and training of `axolite-cli train`, with the GIL released while
// the trainer works; the norms and the trained weights as NumPy arrays.
#include "arrays.h"
#include "bindings.h"
#include "json_objects.h"
#include "python_progress.h"

#include "cli/train_command.h"

#include "core/platform/folder_settings.h"
#include "core/training/network_description.h"
#include "core/training/pattern_file.h"

#include <pybind11/stl.h>

#include <exception>
#include <memory>

namespace axolite::python {

namespace py = pybind11;

namespace {

struct TrainedNetwork {
    std::shared_ptr<cli::TrainingRun> run;
};

// The weights of layer l (1..L-1) as a layer × previous-layer array, and its biases.
py::array layerWeights(const TrainedNetwork& trained, int layer) {
    const training::LayeredNetwork& network = trained.run->trainer.network();
    if (layer < 1 || layer >= network.layerCount()) {
        throw py::index_error("no layer " + std::to_string(layer));
    }
    const int size = network.layerSize(layer);
    const int previous = network.layerSize(layer - 1);
    py::array_t<float> weights({size, previous});
    auto out = weights.mutable_unchecked<2>();
    for (int j = 0; j < size; ++j) {
        for (int k = 0; k < previous; ++k) {
            out(j, k) = network.neuron(layer, j).weights[static_cast<std::size_t>(k)];
        }
    }
    weights.attr("setflags")(py::arg("write") = false);
    return weights;
}

py::array layerBiases(const TrainedNetwork& trained, int layer) {
    const training::LayeredNetwork& network = trained.run->trainer.network();
    if (layer < 0 || layer >= network.layerCount()) {
        throw py::index_error("no layer " + std::to_string(layer));
    }
    std::vector<float> biases;
    for (int j = 0; j < network.layerSize(layer); ++j) {
        biases.push_back(network.neuron(layer, j).bias);
    }
    return readOnlyCopy(biases);
}

py::tuple train(const cli::TrainOptions& options, py::object progressFunction) {
    auto run = std::make_shared<cli::TrainingRun>(options.seed);
    cli::readTrainOptions(options, *run);
    PythonProgress progress(std::move(progressFunction));
    std::vector<Message> messages;
    cli::TrainingHooks hooks;
    hooks.show = [&messages](const Message& message) { messages.push_back(message); };
    hooks.progress = &progress;
    std::exception_ptr failure;
    {
        py::gil_scoped_release release;
        try {
            cli::trainNetwork(options, *run, hooks);
        } catch (...) {
            failure = std::current_exception();
        }
    }
    progress.raiseIfStopped();
    if (failure) {
        std::rethrow_exception(failure);
    }
    nlohmann::ordered_json json = cli::trainingJson(options, *run);
    json["messages"] = nlohmann::json::array();
    for (const Message& m : messages) {
        json["messages"].push_back({{"icon", messageKindName(m.kind)}, {"text", m.text}});
    }
    return py::make_tuple(toPython(json), TrainedNetwork{std::move(run)});
}

} // namespace

void bindTrain(py::module_& m) {
    py::class_<cli::TrainOptions>(m, "_TrainOptions")
        .def(py::init<>())
        .def_readwrite("input", &cli::TrainOptions::input)
        .def_readwrite("target", &cli::TrainOptions::target)
        .def_readwrite("patterns", &cli::TrainOptions::patterns)
        .def_readwrite("input_layer", &cli::TrainOptions::inputLayer)
        .def_readwrite("hidden", &cli::TrainOptions::hidden)
        .def_readwrite("hidden_kind", &cli::TrainOptions::hiddenKind)
        .def_readwrite("output_layer", &cli::TrainOptions::outputLayer)
        .def_readwrite("method", &cli::TrainOptions::method)
        .def_readwrite("iterations", &cli::TrainOptions::iterations)
        .def_readwrite("rate", &cli::TrainOptions::rate)
        .def_readwrite("local_minimum", &cli::TrainOptions::localMinimum)
        .def_readwrite("seed", &cli::TrainOptions::seed)
        .def_readwrite("probes", &cli::TrainOptions::probes)
        .def_readwrite("mse", &cli::TrainOptions::meanSquaredError);
    m.def("_train", &train, py::arg("options"), py::arg("progress"));
    py::class_<TrainedNetwork>(m, "_Trained")
        .def("norms", [](const TrainedNetwork& t) { return readOnlyCopy(t.run->norms); })
        .def("errors", [](const TrainedNetwork& t) { return readOnlyCopy(t.run->errors); })
        .def("layer_count",
             [](const TrainedNetwork& t) { return t.run->trainer.network().layerCount(); })
        .def("weights", &layerWeights)
        .def("biases", &layerBiases)
        .def("interrupted", [](const TrainedNetwork& t) { return t.run->outcome.interrupted; })
        .def("investigate",
             [](const TrainedNetwork& t, const std::vector<float>& inputs) {
                 return readOnlyCopy(training::investigate(t.run->trainer.network(), inputs));
             })
        .def("write_net", [](const TrainedNetwork& t, const std::string& path) {
            training::writeDescription(t.run->trainer.network(), platform::pathFromUtf8(path));
        });
}

} // namespace axolite::python
