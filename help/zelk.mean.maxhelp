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
		"description": "running mean of a stream of frames since a reset or new shape",
		"digest": "running mean of a stream of frames since a reset or new shape",
		"tags": "zelk jitter",
		"boxes": [
			{
				"box": {
					"maxclass": "comment",
					"text": "zelk.mean",
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
					"text": "running mean of a stream of frames since a reset or new shape",
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
							537.0
						],
						"showontab": 1,
						"boxes": [
							{
								"box": {
									"maxclass": "comment",
									"text": "zelk.mean",
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
									"text": "running mean of a stream of frames since a reset or new shape",
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
									"text": "zelk.mean",
									"numinlets": 1,
									"numoutlets": 2,
									"outlettype": [
										"jit_matrix",
										""
									],
									"patching_rect": [
										285.0,
										234.0,
										76.0,
										22.0
									],
									"id": "obj-12"
								}
							},
							{
								"box": {
									"maxclass": "comment",
									"text": "each value the mean of that value over every frame since the last restart. Right outlet: dumpout",
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
									"text": "reset",
									"numinlets": 2,
									"numoutlets": 1,
									"outlettype": [
										""
									],
									"patching_rect": [
										620.0,
										114.0,
										48.0,
										22.0
									],
									"id": "obj-15"
								}
							},
							{
								"box": {
									"maxclass": "comment",
									"text": "restart: the next frame is the first of a new mean",
									"numinlets": 1,
									"numoutlets": 0,
									"patching_rect": [
										678.0,
										114.0,
										282.0,
										35.0
									],
									"id": "obj-16"
								}
							},
							{
								"box": {
									"maxclass": "comment",
									"text": "a frame of another size, plane count or type restarts the mean too",
									"numinlets": 1,
									"numoutlets": 0,
									"patching_rect": [
										620.0,
										163.0,
										340.0,
										35.0
									],
									"id": "obj-17"
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
									"id": "obj-18"
								}
							},
							{
								"box": {
									"maxclass": "comment",
									"text": "the mean frame: the first frame passes through, the second gives the mean of two, and so on",
									"numinlets": 1,
									"numoutlets": 0,
									"patching_rect": [
										297.0,
										438.0,
										198.0,
										65.0
									],
									"id": "obj-19"
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
										606.0,
										144.0,
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
										"obj-18",
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
