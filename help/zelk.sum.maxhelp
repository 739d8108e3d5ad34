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
		"description": "sums every plane of a matrix, one value per plane",
		"digest": "sums every plane of a matrix, one value per plane",
		"tags": "zelk jitter",
		"boxes": [
			{
				"box": {
					"maxclass": "comment",
					"text": "zelk.sum",
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
					"text": "sums every plane of a matrix, one value per plane",
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
							526.0
						],
						"showontab": 1,
						"boxes": [
							{
								"box": {
									"maxclass": "comment",
									"text": "zelk.sum",
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
									"text": "sums every plane of a matrix, one value per plane",
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
									"text": "jit.grab",
									"numinlets": 1,
									"numoutlets": 2,
									"outlettype": [
										"jit_matrix",
										""
									],
									"patching_rect": [
										285.0,
										194.0,
										69.0,
										22.0
									],
									"id": "obj-9"
								}
							},
							{
								"box": {
									"maxclass": "message",
									"text": "open",
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
									"maxclass": "message",
									"text": "close",
									"numinlets": 2,
									"numoutlets": 1,
									"outlettype": [
										""
									],
									"patching_rect": [
										425.0,
										156.0,
										48.0,
										22.0
									],
									"id": "obj-11"
								}
							},
							{
								"box": {
									"maxclass": "comment",
									"text": "camera frames: 4-plane char (ARGB)",
									"numinlets": 1,
									"numoutlets": 0,
									"patching_rect": [
										10.0,
										194.0,
										260.0,
										20.0
									],
									"textjustification": 2,
									"id": "obj-12"
								}
							},
							{
								"box": {
									"maxclass": "newobj",
									"text": "jit.rgb2luma",
									"numinlets": 1,
									"numoutlets": 2,
									"outlettype": [
										"jit_matrix",
										""
									],
									"patching_rect": [
										285.0,
										234.0,
										96.0,
										22.0
									],
									"id": "obj-13"
								}
							},
							{
								"box": {
									"maxclass": "comment",
									"text": "colour (4-plane ARGB) to one plane of brightness",
									"numinlets": 1,
									"numoutlets": 0,
									"patching_rect": [
										10.0,
										234.0,
										260.0,
										35.0
									],
									"textjustification": 2,
									"id": "obj-14"
								}
							},
							{
								"box": {
									"maxclass": "newobj",
									"text": "jit.op @op > @val 128",
									"numinlets": 2,
									"numoutlets": 2,
									"outlettype": [
										"jit_matrix",
										""
									],
									"patching_rect": [
										285.0,
										285.0,
										157.0,
										22.0
									],
									"id": "obj-15"
								}
							},
							{
								"box": {
									"maxclass": "comment",
									"text": "binary image: non-zero where brighter than 128, one-plane char",
									"numinlets": 1,
									"numoutlets": 0,
									"patching_rect": [
										10.0,
										285.0,
										260.0,
										35.0
									],
									"textjustification": 2,
									"id": "obj-16"
								}
							},
							{
								"box": {
									"maxclass": "newobj",
									"text": "zelk.sum",
									"numinlets": 1,
									"numoutlets": 2,
									"outlettype": [
										"",
										""
									],
									"patching_rect": [
										285.0,
										336.0,
										69.0,
										22.0
									],
									"id": "obj-17"
								}
							},
							{
								"box": {
									"maxclass": "comment",
									"text": "any type, planes and dimensions. Sends after every matrix and on bang. Right outlet: dumpout",
									"numinlets": 1,
									"numoutlets": 0,
									"patching_rect": [
										10.0,
										336.0,
										260.0,
										50.0
									],
									"textjustification": 2,
									"id": "obj-18"
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
									"id": "obj-19"
								}
							},
							{
								"box": {
									"maxclass": "button",
									"numinlets": 1,
									"numoutlets": 1,
									"outlettype": [
										"bang"
									],
									"parameter_enable": 0,
									"patching_rect": [
										620.0,
										114.0,
										24.0,
										24.0
									],
									"id": "obj-20"
								}
							},
							{
								"box": {
									"maxclass": "comment",
									"text": "sends the last values again",
									"numinlets": 1,
									"numoutlets": 0,
									"patching_rect": [
										654.0,
										114.0,
										306.0,
										20.0
									],
									"id": "obj-21"
								}
							},
							{
								"box": {
									"maxclass": "comment",
									"text": "zelk.mass gives the same divided by 255 for char cells",
									"numinlets": 1,
									"numoutlets": 0,
									"patching_rect": [
										620.0,
										152.0,
										340.0,
										35.0
									],
									"id": "obj-22"
								}
							},
							{
								"box": {
									"maxclass": "newobj",
									"text": "print sum",
									"numinlets": 1,
									"numoutlets": 0,
									"outlettype": [],
									"patching_rect": [
										285.0,
										416.0,
										76.0,
										22.0
									],
									"id": "obj-23"
								}
							},
							{
								"box": {
									"maxclass": "comment",
									"text": "one value per plane, undivided: here the sum of the binary image's cells",
									"numinlets": 1,
									"numoutlets": 0,
									"patching_rect": [
										297.0,
										442.0,
										198.0,
										50.0
									],
									"id": "obj-24"
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
										"obj-11",
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
										"obj-13",
										0
									]
								}
							},
							{
								"patchline": {
									"source": [
										"obj-13",
										0
									],
									"destination": [
										"obj-15",
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
										"obj-17",
										0
									]
								}
							},
							{
								"patchline": {
									"source": [
										"obj-20",
										0
									],
									"destination": [
										"obj-17",
										0
									],
									"midpoints": [
										606.0,
										144.0,
										606.0,
										328.0,
										295.0,
										328.0
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
										"obj-23",
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
