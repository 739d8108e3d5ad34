{
	"patcher": {
		"fileversion": 1,
		"appversion": {
			"major": 8,
			"minor": 6,
			"revision": 0,
			"architecture": "x64",
			"modernui": 1
		},
		"classnamespace": "box",
		"rect": [
			100.0,
			100.0,
			980.0,
			640.0
		],
		"description": "running (exponential) average of a stream of frames",
		"digest": "running (exponential) average of a stream of frames",
		"tags": "zelk jitter",
		"boxes": [
			{
				"box": {
					"maxclass": "comment",
					"text": "zelk.ravg",
					"numinlets": 1,
					"numoutlets": 0,
					"patching_rect": [
						10.0,
						10.0,
						480.0,
						39.0
					],
					"fontsize": 26.0,
					"fontface": 1,
					"id": "obj-1"
				}
			},
			{
				"box": {
					"maxclass": "comment",
					"text": "running (exponential) average of a stream of frames",
					"numinlets": 1,
					"numoutlets": 0,
					"patching_rect": [
						10.0,
						52.0,
						620.0,
						19.5
					],
					"fontsize": 13.0,
					"id": "obj-2"
				}
			},
			{
				"box": {
					"maxclass": "comment",
					"text": "the examples are in the tabs above: basic",
					"numinlets": 1,
					"numoutlets": 0,
					"patching_rect": [
						10.0,
						90.0,
						620.0,
						20.0
					],
					"id": "obj-3"
				}
			},
			{
				"box": {
					"maxclass": "newobj",
					"text": "p basic",
					"numinlets": 0,
					"numoutlets": 0,
					"patching_rect": [
						10.0,
						130.0,
						62.0,
						22.0
					],
					"patcher": {
						"fileversion": 1,
						"appversion": {
							"major": 8,
							"minor": 6,
							"revision": 0,
							"architecture": "x64",
							"modernui": 1
						},
						"classnamespace": "box",
						"rect": [
							0.0,
							26.0,
							980.0,
							507.0
						],
						"showontab": 1,
						"boxes": [
							{
								"box": {
									"maxclass": "comment",
									"text": "zelk.ravg",
									"numinlets": 1,
									"numoutlets": 0,
									"patching_rect": [
										10.0,
										10.0,
										480.0,
										39.0
									],
									"fontsize": 26.0,
									"fontface": 1,
									"id": "obj-1"
								}
							},
							{
								"box": {
									"maxclass": "comment",
									"text": "running (exponential) average of a stream of frames",
									"numinlets": 1,
									"numoutlets": 0,
									"patching_rect": [
										10.0,
										52.0,
										620.0,
										19.5
									],
									"fontsize": 13.0,
									"id": "obj-2"
								}
							},
							{
								"box": {
									"maxclass": "newobj",
									"text": "loadbang",
									"numinlets": 1,
									"numoutlets": 1,
									"outlettype": [
										"bang"
									],
									"patching_rect": [
										285.0,
										90.0,
										69.0,
										22.0
									],
									"id": "obj-3"
								}
							},
							{
								"box": {
									"maxclass": "comment",
									"text": "starts the frames when the patch opens",
									"numinlets": 1,
									"numoutlets": 0,
									"patching_rect": [
										10.0,
										90.0,
										260.0,
										20.0
									],
									"textjustification": 2,
									"id": "obj-4"
								}
							},
							{
								"box": {
									"maxclass": "toggle",
									"numinlets": 1,
									"numoutlets": 1,
									"outlettype": [
										"int"
									],
									"parameter_enable": 0,
									"patching_rect": [
										285.0,
										122.0,
										24.0,
										24.0
									],
									"id": "obj-5"
								}
							},
							{
								"box": {
									"maxclass": "comment",
									"text": "frames on / off",
									"numinlets": 1,
									"numoutlets": 0,
									"patching_rect": [
										10.0,
										122.0,
										260.0,
										20.0
									],
									"textjustification": 2,
									"id": "obj-6"
								}
							},
							{
								"box": {
									"maxclass": "newobj",
									"text": "qmetro 33",
									"numinlets": 2,
									"numoutlets": 1,
									"outlettype": [
										"bang"
									],
									"patching_rect": [
										285.0,
										156.0,
										76.0,
										22.0
									],
									"id": "obj-7"
								}
							},
							{
								"box": {
									"maxclass": "comment",
									"text": "a frame about every 33 ms",
									"numinlets": 1,
									"numoutlets": 0,
									"patching_rect": [
										10.0,
										156.0,
										260.0,
										20.0
									],
									"textjustification": 2,
									"id": "obj-8"
								}
							},
							{
								"box": {
									"maxclass": "newobj",
									"text": "jit.movie",
									"numinlets": 1,
									"numoutlets": 2,
									"outlettype": [
										"jit_matrix",
										""
									],
									"patching_rect": [
										285.0,
										194.0,
										76.0,
										22.0
									],
									"id": "obj-9"
								}
							},
							{
								"box": {
									"maxclass": "message",
									"text": "read",
									"numinlets": 2,
									"numoutlets": 1,
									"outlettype": [
										""
									],
									"patching_rect": [
										375.0,
										156.0,
										42.0,
										22.0
									],
									"id": "obj-10"
								}
							},
							{
								"box": {
									"maxclass": "comment",
									"text": "movie frames: 4-plane char (ARGB); read opens a movie",
									"numinlets": 1,
									"numoutlets": 0,
									"patching_rect": [
										10.0,
										194.0,
										260.0,
										35.0
									],
									"textjustification": 2,
									"id": "obj-11"
								}
							},
							{
								"box": {
									"maxclass": "newobj",
									"text": "zelk.ravg @alpha 0.1",
									"numinlets": 1,
									"numoutlets": 2,
									"outlettype": [
										"jit_matrix",
										""
									],
									"patching_rect": [
										285.0,
										234.0,
										150.0,
										22.0
									],
									"id": "obj-12"
								}
							},
							{
								"box": {
									"maxclass": "comment",
									"text": "out = alpha x new frame + (1 - alpha) x previous average, every value apart. Right outlet: dumpout",
									"numinlets": 1,
									"numoutlets": 0,
									"patching_rect": [
										10.0,
										234.0,
										260.0,
										50.0
									],
									"textjustification": 2,
									"id": "obj-13"
								}
							},
							{
								"box": {
									"maxclass": "comment",
									"text": "click to change:",
									"numinlets": 1,
									"numoutlets": 0,
									"patching_rect": [
										620.0,
										90.0,
										200.0,
										20.0
									],
									"id": "obj-14"
								}
							},
							{
								"box": {
									"maxclass": "message",
									"text": "alpha 0.05",
									"numinlets": 2,
									"numoutlets": 1,
									"outlettype": [
										""
									],
									"patching_rect": [
										620.0,
										114.0,
										82.0,
										22.0
									],
									"id": "obj-15"
								}
							},
							{
								"box": {
									"maxclass": "comment",
									"text": "slow: long wakes (default)",
									"numinlets": 1,
									"numoutlets": 0,
									"patching_rect": [
										712.0,
										114.0,
										248.0,
										20.0
									],
									"id": "obj-16"
								}
							},
							{
								"box": {
									"maxclass": "message",
									"text": "alpha 0.5",
									"numinlets": 2,
									"numoutlets": 1,
									"outlettype": [
										""
									],
									"patching_rect": [
										620.0,
										146.0,
										76.0,
										22.0
									],
									"id": "obj-17"
								}
							},
							{
								"box": {
									"maxclass": "comment",
									"text": "fast",
									"numinlets": 1,
									"numoutlets": 0,
									"patching_rect": [
										706.0,
										146.0,
										254.0,
										20.0
									],
									"id": "obj-18"
								}
							},
							{
								"box": {
									"maxclass": "message",
									"text": "alpha 1",
									"numinlets": 2,
									"numoutlets": 1,
									"outlettype": [
										""
									],
									"patching_rect": [
										620.0,
										178.0,
										62.0,
										22.0
									],
									"id": "obj-19"
								}
							},
							{
								"box": {
									"maxclass": "comment",
									"text": "no averaging: frames pass through",
									"numinlets": 1,
									"numoutlets": 0,
									"patching_rect": [
										692.0,
										178.0,
										268.0,
										20.0
									],
									"id": "obj-20"
								}
							},
							{
								"box": {
									"maxclass": "comment",
									"text": "any type and plane count; input and output must be the same size",
									"numinlets": 1,
									"numoutlets": 0,
									"patching_rect": [
										620.0,
										216.0,
										340.0,
										35.0
									],
									"id": "obj-21"
								}
							},
							{
								"box": {
									"maxclass": "jit.pwindow",
									"numinlets": 1,
									"numoutlets": 2,
									"outlettype": [
										"jit_matrix",
										""
									],
									"patching_rect": [
										285.0,
										314.0,
										160.0,
										120.0
									],
									"id": "obj-22"
								}
							},
							{
								"box": {
									"maxclass": "comment",
									"text": "the running average: moving things leave a fading wake",
									"numinlets": 1,
									"numoutlets": 0,
									"patching_rect": [
										297.0,
										438.0,
										198.0,
										35.0
									],
									"id": "obj-23"
								}
							}
						],
						"lines": [
							{
								"patchline": {
									"source": [
										"obj-3",
										0
									],
									"destination": [
										"obj-5",
										0
									]
								}
							},
							{
								"patchline": {
									"source": [
										"obj-5",
										0
									],
									"destination": [
										"obj-7",
										0
									]
								}
							},
							{
								"patchline": {
									"source": [
										"obj-10",
										0
									],
									"destination": [
										"obj-9",
										0
									]
								}
							},
							{
								"patchline": {
									"source": [
										"obj-7",
										0
									],
									"destination": [
										"obj-9",
										0
									]
								}
							},
							{
								"patchline": {
									"source": [
										"obj-9",
										0
									],
									"destination": [
										"obj-12",
										0
									]
								}
							},
							{
								"patchline": {
									"source": [
										"obj-15",
										0
									],
									"destination": [
										"obj-12",
										0
									],
									"midpoints": [
										594.0,
										144.0,
										594.0,
										226.0,
										295.0,
										226.0
									]
								}
							},
							{
								"patchline": {
									"source": [
										"obj-17",
										0
									],
									"destination": [
										"obj-12",
										0
									],
									"midpoints": [
										600.0,
										176.0,
										600.0,
										226.0,
										295.0,
										226.0
									]
								}
							},
							{
								"patchline": {
									"source": [
										"obj-19",
										0
									],
									"destination": [
										"obj-12",
										0
									],
									"midpoints": [
										606.0,
										208.0,
										606.0,
										226.0,
										295.0,
										226.0
									]
								}
							},
							{
								"patchline": {
									"source": [
										"obj-12",
										0
									],
									"destination": [
										"obj-22",
										0
									]
								}
							}
						]
					},
					"id": "obj-4"
				}
			}
		],
		"lines": []
	}
}
